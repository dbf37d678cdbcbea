#pragma once
// The registry editor's dialogs for tests: each dialog runs the test's handler (none: Cancel)
// and records the state it was opened with. Constructing one installs it; destroying it puts
// the previous dialogs back.

#include <QStringList>

#include <functional>
#include <vector>

#include "registry/registry_editor.h"

namespace test {

class CScriptedRegistryDialogs : public regedit::IRegistryDialogs {
 public:
  CScriptedRegistryDialogs() : previous_(regedit::RegistryDialogs()) {
    regedit::SetRegistryDialogs(this);
  }
  ~CScriptedRegistryDialogs() override { regedit::SetRegistryDialogs(previous_); }

  std::function<bool(regedit::CDwordDialog*)> onDword;
  std::function<bool(regedit::CStringDialog*)> onString;
  std::function<bool(regedit::CMultiStringDialog*)> onMulti;
  std::function<bool(regedit::CBinaryDialog*)> onBinary;
  // Names typed into a name dialog, one per OK, until one is taken; then OK closes. When
  // they run out the dialog is cancelled.
  QStringList names;
  QString exportFile;
  bool bRegedit4 = false;
  QString importFile;

  std::vector<regedit::CDwordDialog> dwordSeen;
  std::vector<regedit::CStringDialog> stringSeen;
  std::vector<regedit::CMultiStringDialog> multiSeen;
  QStringList proposedNames;  // the name each value dialog was opened with
  int nameDialogs = 0;

  bool EditDword(regedit::CDwordDialog* p) override {
    dwordSeen.push_back(*p);
    proposedNames << p->name;
    return onDword && onDword(p);
  }
  bool EditString(regedit::CStringDialog* p) override {
    stringSeen.push_back(*p);
    proposedNames << p->name;
    return onString && onString(p);
  }
  bool EditMultiString(regedit::CMultiStringDialog* p) override {
    multiSeen.push_back(*p);
    proposedNames << p->name;
    return onMulti && onMulti(p);
  }
  bool EditBinary(regedit::CBinaryDialog* p) override { return onBinary && onBinary(p); }
  bool NewKeyName(const std::function<bool(const QString&)>& tryName) override {
    return RunNames(tryName);
  }
  bool NewName(bool, const QString&, const std::function<bool(const QString&)>& tryName) override {
    return RunNames(tryName);
  }
  QString ExportFile(const QString&, bool* pbRegedit4) override {
    *pbRegedit4 = bRegedit4;
    return exportFile;
  }
  QString ImportFile() override { return importFile; }

 private:
  bool RunNames(const std::function<bool(const QString&)>& tryName) {
    ++nameDialogs;
    while (!names.isEmpty())
      if (tryName(names.takeFirst())) return true;
    return false;
  }
  regedit::IRegistryDialogs* previous_;
};

}  // namespace test
