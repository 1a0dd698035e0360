#pragma once

#include <QString>
#include <functional>
#include <string>

namespace sonavera::app {

/// The question shown when an update is available; `siteUrl` is the maker's web site.
QString UpdateQuestion(const QString& siteUrl);

/// Runs "refresher" of `programFolder` with "-checkforupdates" and waits for it, at most `waitMs`
/// (two minutes at start-up). A non-zero exit code, or an updater still running after the wait, means
/// an update is available: `ask` gets the question and, on yes, the updater is started again without
/// arguments and not waited for; the result is then true and the program must end. A missing
/// updater, one that cannot start or one that ends with 0 gives false: start normally.
bool CheckForUpdates(const std::string& programFolder, const std::function<bool(const QString&)>& ask,
                     const QString& siteUrl, int waitMs = 120000);

}  // namespace sonavera::app
