// TextArray's archive record: a 16-bit version (1), then the items as a counted list
// of strings.

#include "vutil/core/text_array.h"
#include "vutil/framework/archive.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {

void TextArray::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<WORD>(1);
    } else {
        WORD version = 0;
        ar >> version;  // only one layout has ever existed
    }
    SerializeData::Serialize(ar, m_items);
}

}  // namespace vutil
