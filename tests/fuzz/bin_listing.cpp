#include "bin_listing.h"

#include "core/list_entry.h"
#include "fileops/list_source_bin.h"
#include "fuzz_support.h"

namespace fuzz {

void ListBin() {
  CRecycleBinListSource source(kBin);
  CListEntries entries;
  source.Fill(&entries);
  const QStringList names = Names(kBin);
  FUZZ_CHECK(entries.Count() <= names.size());
  for (int nRow = 0; nRow < entries.Count(); ++nRow) {
    CListEntry& entry = *entries.At(nRow);
    for (const CListColumn& column : source.Columns()) source.Text(entry, column.field);
    source.IconIndex(entry, false);
    const CBinItem* item = entry.ItemAs<CBinItem>();
    FUZZ_CHECK(item != nullptr && names.contains(item->binName));
    FUZZ_CHECK(!entry.displayName.isEmpty());
    FUZZ_CHECK(source.FullPath(entry) == kBin + u'\\' + item->binName);
  }
  for (int nField = 0; nField <= eBinField_OriginalFolder; ++nField) {
    source.PrepareSort(&entries, nField);
    for (int a = 0; a < entries.Count(); ++a)
      for (int b = 0; b < entries.Count(); ++b) {
        const int ab = source.Compare(*entries.At(a), *entries.At(b), nField, true);
        const int ba = source.Compare(*entries.At(b), *entries.At(a), nField, true);
        FUZZ_CHECK((ab < 0) == (ba > 0));
      }
  }
}

}  // namespace fuzz
