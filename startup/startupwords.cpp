#include "startup/startupwords.h"

#include "engine/fetch/retrywait.h"

namespace kestrune {

namespace {

using Kind = StartupError::Kind;

const char16_t NotStarted[] = u"没有开始导出。";
const char16_t PemDetail[] =
    u"找的是 PEM 格式的证书：-----BEGIN CERTIFICATE----- 到 -----END CERTIFICATE----- 之间的内容";

const StartupWords Table[] = {
    {.kind = Kind::BadHost,
     .happened = u"论坛地址{problem}",
     .onCommandLine = u"请改正 --host 后再运行。",
     .inWindow = u"窗口使用 {host}。要换论坛地址，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::host},
    {.kind = Kind::BadStoredHost,
     .stored = true,
     .happened = u"保存的论坛地址{problem}",
     .onCommandLine = u"请用 --host 给出论坛地址，加 --remember 换掉保存的地址。",
     .inWindow = u"改正前使用 {host}。请在窗口上单击右键，选“{item}”改正。",
     .item = &SettingMenu::host,
     .key = "host"},
    {.kind = Kind::UnreadableCaFile,
     .happened = u"无法读取 CA 证书文件 {path}：找不到这个文件，或没有权限读取它。",
     .onCommandLine = u"请改正 --ca-file 后再运行。",
     .inWindow = u"这次只用系统自带的证书。要另选文件，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::caFile},
    {.kind = Kind::UnreadableStoredCaFile,
     .stored = true,
     .happened = u"无法读取保存的 CA 证书文件 {path}：找不到这个文件，或没有权限读取它。",
     .onCommandLine = u"请把文件放回原处后再运行；或用 --ca-file 另选一个文件并加 --remember，"
                      u"或用 --ca-file \"\" --remember 不再使用它。",
     .inWindow = u"改正前只用系统自带的证书。请把文件放回原处，或在窗口上单击右键，"
                 u"选“{item}”另选文件或清除。",
     .item = &SettingMenu::caFile,
     .key = "caFile"},
    {.kind = Kind::CaFileWithoutCertificate,
     .happened = u"CA 证书文件 {path} 里没有证书。",
     .onCommandLine = u"请改正 --ca-file 后再运行。",
     .inWindow = u"这次只用系统自带的证书。要另选文件，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::caFile,
     .detail = PemDetail},
    {.kind = Kind::CaFileWithoutCertificate,
     .stored = true,
     .happened = u"保存的 CA 证书文件 {path} 里没有证书。",
     .onCommandLine = u"请用 --ca-file 另选一个文件并加 --remember，"
                      u"或用 --ca-file \"\" --remember 不再使用它。",
     .inWindow = u"改正前只用系统自带的证书。请在窗口上单击右键，选“{item}”另选文件或清除。",
     .item = &SettingMenu::caFile,
     .key = "caFile",
     .detail = PemDetail},
    {.kind = Kind::RememberAlone,
     .happened = u"--remember 只保存同时给出的 --host、--ca-file、--retries、--timeout、"
                 u"--folder 或 --no-table，这次一个也没有给出。",
     .onCommandLine = u"请加上要保存的设置再运行，如 --host bbs.example.cn --remember。",
     .inWindow = u"窗口照常使用原来的设置。要保存设置，请在窗口上单击右键，选要改的一项"
                 u"（如“{item}”），并勾选“记住”。",
     .item = &SettingMenu::host},
    {.kind = Kind::NotSaved,
     .happened = u"设置没能保存到 {file}：{reason}。",
     .onCommandLine = u"{fix}，再运行一次。",
     .inWindow = u"新的设置这次照样使用，但下次打开时不会记得。{fix}，再在窗口上单击右键"
                 u"重新设置，并勾选“记住”。",
     .notDone = NotStarted,
     .detail = u"QSettings: {status}"},
    {.kind = Kind::BadRetries,
     .happened = u"重试次数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请改正 --retries 后再运行。",
     .inWindow = u"这次不重试。请改正 --retries 后再运行。",
     .high = MaxRetries},
    {.kind = Kind::BadStoredRetries,
     .stored = true,
     .happened = u"保存的重试次数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请用 --retries 给出次数，加 --remember 换掉保存的值。",
     .inWindow = u"改正前不重试。请在窗口上单击右键，选“{item}”改正。",
     .item = &SettingMenu::retries,
     .high = MaxRetries,
     .key = "retries",
     .fileInWindowDetail = false},
    {.kind = Kind::BadTimeout,
     .happened = u"超时秒数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请改正 --timeout 后再运行。",
     .inWindow = u"这次每页最多等 {timeout} 秒。请改正 --timeout 后再运行。",
     .low = PageFetcher::MinTimeoutSeconds,
     .high = PageFetcher::MaxTimeoutSeconds},
    {.kind = Kind::BadStoredTimeout,
     .stored = true,
     .happened = u"保存的超时秒数“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请用 --timeout 给出秒数，加 --remember 换掉保存的值。",
     .inWindow = u"改正前每页最多等 {timeout} 秒。请在窗口上单击右键，选“{item}”改正。",
     .item = &SettingMenu::timeout,
     .low = PageFetcher::MinTimeoutSeconds,
     .high = PageFetcher::MaxTimeoutSeconds,
     .key = "timeout",
     .fileInWindowDetail = false},
    {.kind = Kind::BadFolder,
     .happened = u"找不到结果文件夹 {path}：它不存在，或不是文件夹。",
     .onCommandLine = u"请改正 --folder 后再运行。",
     .inWindow = u"这次结果写入当前文件夹 {here}。要另选文件夹，请在窗口上单击右键，选“{item}”。",
     .item = &SettingMenu::folder},
    {.kind = Kind::BadStoredFolder,
     .stored = true,
     .happened = u"找不到保存的结果文件夹 {path}：它不存在，或不是文件夹。",
     .onCommandLine =
         u"请建好这个文件夹（或接上它所在的磁盘）后再运行；或用 --folder 另选一个文件夹"
         u"并加 --remember，或用 --folder \"\" --remember 改用当前文件夹。",
     .inWindow = u"改正前结果写入当前文件夹 {here}。请建好这个文件夹（或接上它所在的磁盘），"
                 u"或在窗口上单击右键，选“{item}”另选文件夹。",
     .item = &SettingMenu::folder,
     .key = "folder"},
    // Settings given with --remember are saved by now.
    {.kind = Kind::BadFirstNumber,
     .happened = u"起始编号“{value}”有误：应为 {low} 到 {high} 的整数。",
     .onCommandLine = u"请改正 --number-from 后再运行。",
     .notDone = NotStarted,
     .low = 1,
     .high = MaxFirstNumber},
};

} // namespace

std::span<const StartupWords> StartupWordsTable()
{
    return Table;
}

} // namespace kestrune
