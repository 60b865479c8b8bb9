// CHTMLUtils: titles and explanations of link result codes, and message tidying.

#include <algorithm>
#include <array>
#include <iterator>

#include "vutil/core/app_logger.h"
#include "vutil/web/html_utils.h"

namespace vutil {

namespace {

struct Description {
    std::uint32_t code;
    const char* title;
    const char* text;
};

// The library's own codes, 10000 on, in order: index = code - 10000.
constexpr Description kLibraryCodes[] = {
    {10000, "Unknown problem",
     "An generic error occurred, most likely on the server's side. The problem could be temporary or permanent. "
     "Click the world icon next to the link to see what your web browser determines."},
    {10001, "No URL given", "The URL address itself is empty."},
    {10002, "\"Global Offline\" mode",
     "Your computer is in \"Global Offline\" mode. The application cannot access the Internet to validate remote "
     "files and/or external links. Turn \"Global Offline\" mode OFF in your web browser's \"File\" menu."},
    {10003, "No connection",
     "Unable to establish connection with the specified URL. It could be that the file referenced is gone, or that "
     "the server that hosts that file is having some temporary problems."},
    {10004, "Timed out", "Attempting to connect to the server timed out. This may be temporary."},
    {10005, "No server connection", "Connection with the server was lost. This is typically a temporary problem."},
    {10006, "Invalid URL",
     "This URL is not valid. The link, as specified, no longer exists on the Internet. Other possible causes for "
     "this message are: bad Internet connection, or the remote server address is not set correctly."},
    {10007, "Invalid protocol",
     "Ultimately a link must have the following text appearing at the beginning of the link: \"ftp:\", "
     "\"gopher:\", \"http:\", or \"https:\". Valid local documents must start with \"file:/\"."},
    {10008, "URL request failed",
     "The application asked the server for the status of the link, and the server failed to complete the request."},
    {10009, "File does not exist",
     "The file, as specified by this link, does not exist on your computer.\n\nMost likely the file referenced by "
     "the link was moved to another location or it has been deleted.\n\nThe other cause could be that there is a "
     "typo in the link text. Verify the file name and the folder path. If the link is an absolute path to a local "
     "file, make sure it has a colon and a forward slash after the drive letter or drive specification.\n\nIf you "
     "know the file doesn't exist, you may wish to delete the link. If the file was moved or renamed, you may wish "
     "to update the link's text. If you use the \"../\" type of relative path notation, you may just not have "
     "enough \"dots\"."},
    {10010, "Case mismatch",
     "On Windows computers you can reference a file on the computer's disk drive in all lowercase, all uppercase, "
     "or mixed case. However, a lot of web hosting servers run some version of the Unix operating system. Unix "
     "considers files with different cases to be different files. So, \"about.html\" would be a different file "
     "from \"About.html\" or \"ABOUT.HTML\". The link will work locally, but on your published web site it may not "
     "work. To automatically fix this problem, click on the \"Edit | Correct Case Mismatch\" menu command."},
    {10011, "Missing \"file:///\" syntax",
     "This is a hard-wired link to a local file, which exists. However, the HTML coding was missing the \"file:/// "
     "syntax. Internet Explorer is OK with that, but other browsers will give you problems."},
    {10012, "\"#\" character in file name",
     "The file name contains the character \"#\". Our experience has shown that a file on a remote server with "
     "that character in it will not be found by web browers."},
    {10013, "Self-reference",
     "The link is a link to the file itself. For example, if there is a link in \"About.htm\" such as <a "
     "href=\"About.htm\">Contacts</a>, then this error would be reported."},
    {10014, "No Internet connection",
     "It appears that your computer is not connected to the Internet. If you have a dial-up connection, be sure to "
     "connect to the Internet. Once Internet connection has been restored, the application will attempt to "
     "validate the links showing this message again in a few minutes."},
    {10015, "Hard-wired local file",
     "This link is a hard-wired reference to a local file, yet this project has been set up with a remote server "
     "address. If the file wherein this link appears is uploaded, visitors to your web site will not be able to "
     "follow this link, since they won't have access to your local disk drive."},
    {10016, "File is empty", "The file specified in this link has no content."},
    {10017, "No such anchor found",
     "The anchor reference (the part after the \"#\" in the link) couldn't be found in the file referenced by this "
     "link."},
    {10018, "Anchor case mismatch",
     "The anchor reference (the part after the \"#\" in the link) didn't have the same case as the text found in "
     "the file referenced by this link. To automatically fix this problem, click on the \"Edit | Correct Case "
     "Mismatch\" menu command."},
    {10019, "Duplicate anchors",
     "The anchor reference (the part after the \"#\" in the link) was found more than once within the file. "
     "Typically browsers will only find the first one, and ignore the others. You may wish to correct this by "
     "opening the file in your web page editor and finding and changing the names of the duplicate anchors within "
     "the file."},
    {10020, "Secure channel support error",
     "There was a problem with the secure channel support. This error can occur if the server uses a secure "
     "certificate with a nonstandard length, which is not supported by some browsers, such as Microsoft's Internet "
     "Explorer. This could be a temporary problem on the server's side, or it could be a permanent condition. "
     "Check the web site by visiting it with your web browser (click the world icon). If the problem persists, you "
     "may wish to remove the link. You may also wish to contact the administrator/webmaster of that web site."},
    {10021, "Validation cancelled",
     "Either indirectly by making a settings change, the application or your computer caused the validation of "
     "this item to be cancelled."},
    {10022, "No header found",
     "Indicates that a header could not be found. This can happen when your computer has an Internet connection "
     "but no actual connection exists. Problem is typically on your ISP's server side."},
    {10023, "HTTP redirect failed",
     "The link that you have is no longer valid. However, the server detected and knows that the link needs to be "
     "re-directed to another file or page. However, it discovered that the new target file or page doesn't exist "
     "either. The server then gives up and responds with this error message. You will need to visit the web site "
     "and see if you can figure out what the new page is supposed to be, and adjust or delete your link "
     "accordingly."},
    {10024, "Application error detected",
     "An application error has been detected. The application handed the Internet services a connection that was "
     "no longer usable while validating this link. If this happens often, please contact technical support."},
};

// HTTP statuses with a description, ascending; every other status is unknown.
constexpr Description kHttpCodes[] = {
    {400, "Invalid URL syntax", "HTTP 400: Invalid syntax of URL."},
    {401, "Access denied", "HTTP 401: Access denied. The server requires authorization before it opens this URL."},
    {402, "Payment required", "HTTP 402: Payment is required before the server delivers this URL."},
    {403, "Access forbidden", "HTTP 403: The server refuses access to this URL."},
    {404, "URL is unavailable",
     "HTTP 404: URL has been removed, changed its name, or is temporarily unavailable. Other possible causes for "
     "this message are: bad Internet connection; remote server address is not set correctly."},
    {405, "Method not allowed", "HTTP 405: The server does not allow the method used to request this URL."},
    {406, "No response", "HTTP 406: No response acceptable to client found."},
    {407, "Authentication required", "HTTP 407: The client must first authenticate itself with the proxy server."},
    {408, "Server timed out", "HTTP 408: The server timed out waiting for the request. This may be temporary."},
    {409, "More info required",
     "HTTP 409: The request conflicts with the current state of the page; more information is required."},
    {410, "No longer available",
     "HTTP 410: The URL is no longer available on the server, and no forwarding address is known."},
    {411, "Server refused request", "HTTP 411: The server refused the request because it had no content length."},
    {412, "Precondition failed", "HTTP 412: A precondition given in the request failed on the server."},
    {413, "Request too large", "HTTP 413: Request entity was too large."},
    {414, "URI too long", "HTTP 414: The URI is longer than the server is willing to interpret."},
    {415, "Unsupported media type", "HTTP 415: The server does not support the media type of the request."},
    {416, "Requested range not satisfiable", "HTTP 416: The server cannot deliver the requested part of the file."},
    {417, "Expectation failed", "HTTP 417: The server cannot meet the expectation given in the request header."},
    {419, "Authentication timeout", "HTTP 419: The authentication has expired. Sign in again and retry."},
    {420, "Method Failed", "HTTP 420: The method failed on the server."},
    {422, "Not processable",
     "HTTP 422: The request was well formed, but the server could not process its instructions."},
    {423, "Locked", "HTTP 423: The page being accessed is locked."},
    {424, "Failed dependency", "HTTP 424: The request failed because a request it depended on failed."},
    {425, "Upgrade required", "HTTP 425: The server requires the client to switch to a different protocol."},
    {429, "Too many requests",
     "HTTP 429: Too many requests were sent to the server in a short time. This is typically a temporary problem."},
    {431, "Request header too large", "HTTP 431: The request header fields are too large for the server."},
    {444, "No response",
     "HTTP 444: The server has purposely closed the connection, most like to avoid malware attacks."},
    {449, "Retry request", "HTTP 449: The request should be retried after the appropriate action has been taken."},
    {450, "Parental control", "HTTP 450: Access to this URL was blocked by parental control settings."},
    {451, "Blocked by legal action", "HTTP 451: Access to this URL was blocked by legal action."},
    {494, "Request too large", "HTTP 494: (same as HTTP 413) Request entity was too large."},
    {495, "Certificate error", "HTTP 495: The client certificate presented to the server is not valid."},
    {496, "No certificate", "HTTP 496: The server requires a client certificate, but none was presented."},
    {497, "HTTP to HTTPS redirect", "HTTP 497: A plain HTTP request was sent to a port that expects HTTPS."},
    {499, "Client closed", "HTTP 499: The client closed the connection before the server could answer."},
    {500, "Internal server error", "HTTP Server-side Error 500: Internal server error."},
    {501, "Not supported",
     "HTTP Server-side Error 501: The server does not support what is needed to complete the request."},
    {502, "Error received",
     "HTTP Server-side Error 502: The server, acting as a gateway, received an invalid response from the server "
     "behind it."},
    {503, "Temporarily overloaded",
     "HTTP Server-side Error 503: The server is temporarily overloaded or down for maintenance. This may be "
     "temporary."},
    {504, "Gateway timed out",
     "HTTP Server-side Error 504: The server, acting as a gateway, timed out waiting for the server behind it."},
    {505, "Unsupported HTTP version",
     "HTTP Server-side Error 505: The server does not support the HTTP version used in the request."},
    {507, "Insufficient storage", "HTTP Server-side Error 507: The server has too little storage to complete the request."},
    {508, "Loop detected", "HTTP Server-side Error 508: The server detected an endless loop while processing the request."},
    {509, "Bandwidth limit reached", "HTTP Server-side Error 509: The web site has used up the bandwidth its host allows."},
    {510, "Not extended", "HTTP Server-side Error 510: The server needs further extensions to the request to complete it."},
    {511, "Network authorization required",
     "HTTP Server-side Error 511: The client must sign in to the network before it gains access."},
    {598, "Network connection time-out",
     "HTTP Server-side Error 598: A network time-out occurred. Check your Internet connection."},
    {599, "Network connection time-out",
     "HTTP Server-side Error 599: A network time-out occurred. Check your Internet connection."},
};

static_assert(std::size(kLibraryCodes) == 25 && std::size(kHttpCodes) == 48);

const Description* FindDescription(std::uint32_t code) {
    if (code >= CHTMLUtils::HTTP_LINK_GENERICERROR && code <= CHTMLUtils::HTTP_LINK_APP_ERROR)
        return &kLibraryCodes[code - CHTMLUtils::HTTP_LINK_GENERICERROR];
    const auto* end = std::end(kHttpCodes);
    const auto* it = std::lower_bound(std::begin(kHttpCodes), end, code,
                                      [](const Description& d, std::uint32_t c) { return d.code < c; });
    return it != end && it->code == code ? it : nullptr;
}

}  // namespace

CString CHTMLUtils::GetValidationDescription(std::uint32_t code, bool longText) {
    if (code == HTTP_LINK_NOTYETVALIDATED) return longText ? CString("Not yet validated.") : CString();
    if (code >= 200 && code <= 399) return CString();
    if (const Description* d = FindDescription(code)) return CString(longText ? d->text : d->title);
    CString unknown;
    // Printed as a signed number on purpose: hosts compare these texts with older logs.
    unknown.Format("Unknown error (%d)", static_cast<int>(code));
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(CString("{F0C25C32-A0CF-4803-8564-261F206E5AFD}") + unknown);
    return unknown;
}

CString CHTMLUtils::CleanUpMsg(CString message) {
    if (message.IsEmpty()) return message;
    message.Insert(0, ' ');
    if (message[message.GetLength() - 1] == '\n') message.Delete(message.GetLength() - 1);
    if (message[message.GetLength() - 1] == '\r') message.Delete(message.GetLength() - 1);
    message.TrimRight();
    if (message.IsEmpty() || message[message.GetLength() - 1] != '.') message += '.';
    return message;
}

}  // namespace vutil
