#pragma once
// Umbrella header: every public header of the library.

#include "vutil/framework/archive.h"
#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/framework/internet_session.h"
#include "vutil/framework/ole_date_time.h"
#include "vutil/framework/shell_types.h"
#include "vutil/framework/stdio_file.h"
#include "vutil/framework/types.h"

#include "vutil/core/app_logger.h"
#include "vutil/core/library.h"
#include "vutil/core/text_array.h"

#include "vutil/dates/date_entry.h"
#include "vutil/dates/date_time.h"
#include "vutil/dates/locale_utils.h"

#include "vutil/persist/aes.h"
#include "vutil/persist/address.h"
#include "vutil/persist/crypto.h"
#include "vutil/persist/person.h"
#include "vutil/persist/serialize_data.h"
#include "vutil/persist/version_number.h"

#include "vutil/text/number_format.h"
#include "vutil/text/number_runtime.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"

#include "vutil/web/html_utils.h"
#include "vutil/web/tag_conv_utils.h"

#include "vutil/system/keyboard.h"
#include "vutil/system/recycle_bin.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"
#include "vutil/system/volume_utils.h"

#include "vutil/web/internet_utils.h"

#include "vutil/numeric/double.h"
#include "vutil/numeric/geography_utils.h"
#include "vutil/numeric/pi.h"
#include "vutil/numeric/prime.h"
#include "vutil/numeric/random_number_gen.h"
#include "vutil/numeric/statistics.h"
#include "vutil/numeric/test.h"
#include "vutil/numeric/timing_utils.h"
#include "vutil/numeric/truth_table.h"
