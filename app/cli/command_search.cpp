// pinbro-cli search TEXT: the search bar's search. The text becomes include and exclude file
// rules of the collection engine, the device is collected from "\", and each collected path
// is printed on its own line, as the search result list would show it, with its control
// characters escaped (so that a name cannot break a line).
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "collect/search_rules.h"

namespace cli {
namespace {

// Prints each result at once, so that a long search shows its first findings early.
class CPrintingSink final : public collect::IFSCollectSink {
 public:
  explicit CPrintingSink(QTextStream& out) : out_(out) {}
  bool OnResult(const collect::SFSCResult& result) override {
    out_ << EscapedCell(result.strFullPath) << "\n";
    return out_.status() == QTextStream::Ok;
  }

 private:
  QTextStream& out_;
};

}  // namespace

int RunSearchCommand(CCliContext& ctx) {
  if (ctx.args.size() != 1) {
    ctx.err << "usage: pinbro-cli search TEXT\n";
    return kExitUsage;
  }
  collect::CFSCollect engine;
  CPrintingSink sink(ctx.out);
  if (collect::RunSearch(&engine, ctx.args[0], &sink)) return kExitOk;
  ctx.err << "pinbro-cli: search: the device could not be searched to its end.\n";
  return kExitFailed;
}

}  // namespace cli
