#pragma once
// The selection a command works on, built from its path arguments: each argument must be a
// device path of an existing file or folder, or the command stops before touching anything.

#include <QStringList>

#include <functional>

#include "app/cli/cli_context.h"
#include "core/selection.h"

namespace cli {

// A command's own refusal of an existing path: the end of the sentence "Could not <verb>
// <path>" (": the root cannot be deleted.\n"), or nullptr when the path is fine.
using RefusalRule = std::function<const char*(const QString& strPath)>;

// Fills *pSelection from args, in their order. Returns kExitOk, kExitUsage for an argument
// that is no device path, or kExitFailed for a refused or missing item; in both failures the
// reason is written to ctx.err. fnRefuse, when given, is asked before the item is looked up.
int ReadSelection(CCliContext& ctx, const QStringList& args, const char* pszVerb,
                  fileops::CSelection* pSelection, const RefusalRule& fnRefuse = {});

}  // namespace cli
