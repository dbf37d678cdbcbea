#include "browse/list_source_factory.h"

#include <algorithm>

#include "browse/list_source_fs.h"

void CListSourceFactory::Register(std::initializer_list<DWORD> kinds,
                                  const CListSourceKind& sources) {
  for (DWORD dwKind : kinds) {
    kinds_[dwKind] = sources;
    if (std::find(order_.begin(), order_.end(), dwKind) == order_.end()) order_.push_back(dwKind);
  }
}

void CListSourceFactory::Unregister(DWORD dwKind) {
  kinds_.erase(dwKind);
  order_.erase(std::remove(order_.begin(), order_.end(), dwKind), order_.end());
}

std::unique_ptr<IListSource> CListSourceFactory::Make(const CPanelLocation& location) const {
  const auto found = kinds_.find(location.kind);
  if (found == kinds_.end() || !found->second.make) return nullptr;
  return found->second.make(location);
}

bool CListSourceFactory::ParseAddress(const QString& strText, CPanelLocation* pLocation) const {
  for (DWORD dwKind : order_) {
    const CListSourceKind& sources = kinds_.at(dwKind);
    if (sources.parseAddress && sources.parseAddress(strText, pLocation)) return true;
  }
  return false;
}

bool CListSourceFactory::CopyOut(const fileops::CSelection& items,
                                 const QString& strFolder) const {
  if (items.empty()) return false;
  for (DWORD dwKind : order_) {
    const CListSourceKind& sources = kinds_.at(dwKind);
    if (sources.copyOut && sources.copyOut(items, strFolder)) return true;
  }
  return false;
}

const std::function<void(CListPanel&, const CListAction&)>* CListSourceFactory::Editor(
    DWORD dwKind) const {
  const auto found = kinds_.find(dwKind);
  return found != kinds_.end() && found->second.edit ? &found->second.edit : nullptr;
}

CListSourceFactory& ListSources() {
  static CListSourceFactory* pFactory = [] {
    auto* pNew = new CListSourceFactory;
    browse::RegisterFileSystemListSource(*pNew);
    return pNew;
  }();
  return *pFactory;
}
