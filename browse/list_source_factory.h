#pragma once
// The list sources by location kind. Each feature registers the kinds it lists: the file
// system (this layer, always there), the recycle bin (fileops), the registry (registry); zip
// archives and search results register the same way. A panel turns a location into a listing
// through the factory, and the frame turns a typed address into a location through it, so
// neither names a kind.
//
// Registration and use happen on the user-interface thread.

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "browse/list_source.h"

class CListPanel;

// What a feature registers for a location kind.
struct CListSourceKind {
  // The source that lists the location; null when it cannot be listed (a path the device
  // root refuses). Required.
  std::function<std::unique_ptr<IListSource>(const CPanelLocation& location)> make;
  // Reads a text typed into the address bar as a location of this kind; false when the text
  // is not one. Optional.
  std::function<bool(const QString& strText, CPanelLocation* pLocation)> parseAddress;
  // Carries out CListAction::eEditValue for a listing of this kind. Optional: without it a
  // value is not opened.
  std::function<void(CListPanel& panel, const CListAction& action)> edit;
  // Copies items of this kind's listings that are not files of the file system (as their
  // Selection names them: members of an archive) into a file-system folder, with the
  // feature's own operation, which shows its own windows and boxes. False when the items are
  // not this kind's. Optional.
  std::function<bool(const fileops::CSelection& items, const QString& strFolder)> copyOut;
};

class CListSourceFactory {
 public:
  // Registers the sources of the location kinds (entry types: eEntry_Folder, eEntry_RegKey,
  // eEntry_RecycleBin, ...), replacing an earlier registration of the same kinds. Address
  // parsers are asked in the order their kinds were first registered.
  void Register(std::initializer_list<DWORD> kinds, const CListSourceKind& sources);
  void Unregister(DWORD dwKind);
  bool IsRegistered(DWORD dwKind) const { return kinds_.count(dwKind) != 0; }

  // The source of a location; null for a kind nobody registered or a location its maker
  // refuses.
  std::unique_ptr<IListSource> Make(const CPanelLocation& location) const;
  // The location a typed address names; false when no registered kind reads it.
  bool ParseAddress(const QString& strText, CPanelLocation* pLocation) const;
  // Items that are not files of the file system copied into strFolder by the kind that
  // names them (copy out of an archive); false when no registered kind takes them.
  bool CopyOut(const fileops::CSelection& items, const QString& strFolder) const;
  // The editor of a location kind; null when it has none.
  const std::function<void(CListPanel&, const CListAction&)>* Editor(DWORD dwKind) const;

 private:
  std::map<DWORD, CListSourceKind> kinds_;
  std::vector<DWORD> order_;  // kinds in order of first registration
};

// The program's factory. The file-system source is registered when it is first used.
CListSourceFactory& ListSources();
