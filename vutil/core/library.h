#pragma once
// Library load and unload.
//
// At load the character tables are filled before any other code of the library runs;
// at unload the singletons are destroyed in a fixed order. Both happen by themselves
// (ELF constructor and destructor of the library); hosts need not call anything.

namespace vutil {

// Process-wide constant strings, built on first use and kept until unload.
class CString;
const CString& SeparatorCRLF();       // "\r\n"
const CString& SeparatorCommaSpace(); // ", "
const CString& SeparatorSpace();      // " "
const CString& SeparatorSlash();      // "/"
const CString& SeparatorColon();      // ":"
const CString& SeparatorBackslash();  // "\\"

namespace library {
// What the load and unload hooks run; exposed so tests can check the sequence.
void OnLoad();
void OnUnload();
bool IsLoaded() noexcept;
}  // namespace library

}  // namespace vutil
