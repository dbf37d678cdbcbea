#include "core/texts.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace core {
namespace {

// The translated texts, by row of the table, made on first use after each change of the
// translation; readers keep the snapshot they took while it is replaced.
std::mutex g_textsMutex;
std::shared_ptr<const std::vector<QString>> g_texts;
// The translation installed by this file (main thread only).
std::unique_ptr<QTranslator> g_translator;

std::shared_ptr<const std::vector<QString>> TranslatedTexts() {
  std::lock_guard lock(g_textsMutex);
  if (!g_texts) {
    auto texts = std::make_shared<std::vector<QString>>();
    texts->reserve(TextTable().size());
    for (const CTextEntry& entry : TextTable())
      texts->push_back(
          QCoreApplication::translate(kTextContext, entry.text.source, entry.text.comment));
    g_texts = std::move(texts);
  }
  return g_texts;
}

void ForgetTranslatedTexts() {
  std::lock_guard lock(g_textsMutex);
  g_texts.reset();
}

// Qt changes its list of translators before it tells the widgets, so a widget that reads its
// texts again then reads the new ones; the texts are forgotten after each change in case
// another thread read them in between.
void ReplaceTranslator(std::unique_ptr<QTranslator> next) {
  if (g_translator) QCoreApplication::removeTranslator(g_translator.get());
  g_translator.reset();
  if (next) {
    QCoreApplication::installTranslator(next.get());
    g_translator = std::move(next);
  }
  ForgetTranslatedTexts();
}

}  // namespace

QString Text(int nId) {
  const std::span<const CTextEntry> table = TextTable();
  const auto it = std::lower_bound(table.begin(), table.end(), nId,
                                   [](const CTextEntry& e, int n) { return e.nId < n; });
  if (it == table.end() || it->nId != nId) return {};
  return (*TranslatedTexts())[size_t(it - table.begin())];
}

bool InstallTranslation(const QString& strQmPath) {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(strQmPath)) return false;
  ReplaceTranslator(std::move(translator));
  return true;
}

void RemoveTranslation() { ReplaceTranslator(nullptr); }

bool InstallStartTranslation(const QString& strFolder) {
  if (qEnvironmentVariableIsSet("PINBRO_TRANSLATION")) {
    const QString strPath = qEnvironmentVariable("PINBRO_TRANSLATION");
    return !strPath.isEmpty() && InstallTranslation(strPath);
  }
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QLocale(), QStringLiteral("pinbro"), QStringLiteral("_"), strFolder))
    return false;
  ReplaceTranslator(std::move(translator));
  return true;
}

}  // namespace core
