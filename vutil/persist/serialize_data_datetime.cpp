// SerializeData: DateTime map values, written as the DateTime record.

#include "vutil/dates/date_time.h"
#include "vutil/persist/serialize_data.h"

namespace vutil {

void SerializeData::StoreItem(CArchive& ar, const DateTime& v) {
    // The record's Serialize works in both directions and so is not const.
    DateTime copy(v);
    copy.Serialize(ar);
}

void SerializeData::LoadItem(CArchive& ar, DateTime& v) { v.Serialize(ar); }

}  // namespace vutil
