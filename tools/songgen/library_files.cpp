#include "songgen/library_files.h"

#include <filesystem>
#include <fstream>

#include "platform/text_encoding.h"

namespace sonavera::songgen {
namespace {

namespace fs = std::filesystem;

const char* const kBanner = "欢迎使用 Sonavera！自带歌曲无需联网，选一首歌就能开唱。";

// One paragraph per line: the help list stops at the first empty line.
const char* const kHelpParagraphs[] = {
    "开始演唱：在首页点击“开始演唱”，从列表中选择一首歌曲，再点击开始。伴奏响起后跟着屏幕上的音符条演唱，"
    "光标显示您唱出的音高。",
    "评分：每唱完一句都会给出评价，歌曲结束后显示总分、最佳和最差的一句，并可回放自己的演唱。",
    "男声与女声：女声请在开始前选择“女声”，评分会按女声的音区比较。",
    "原唱与伴奏：可以选择带导唱的原唱版本或纯伴奏版本。",
    "K歌：名字以“_KTV版”结尾的歌曲没有旋律评分，按照您跟唱的完整程度给分。",
    "热舞：带有 Vexo 标记的歌曲可以跳舞，用方向键或跳舞毯踩中滚动到目标位置的箭头。",
    "串烧：在串烧页面依次选择四首歌曲，连续演唱后给出合计得分。",
    "麦克风：如果没有声音，请在“麦克风设置”中选择其他录音设备。",
    "添加歌曲：把歌曲包放进“歌曲/单曲”文件夹，并在 List.txt 中加入一行歌曲名称。",
};

const char* const kEchoHelp = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>听到自唱设置说明</title>
<style>
body { font-family: sans-serif; font-size: 14px; line-height: 1.6; margin: 12px; }
h1 { font-size: 18px; }
li { margin-bottom: 6px; }
</style>
</head>
<body>
<h1>怎样在音箱或耳机里听到自己的歌声</h1>
<p>演唱时听到自己的声音，更容易唱准音高。有两种方法：</p>
<h2>方法一：软件方式（已经为您打开）</h2>
<ol>
<li>点击“听到自唱设置”后，程序旁边的 sonavera-echo 会把麦克风的声音送到音箱或耳机。</li>
<li>软件方式会有少许延时，这是正常的；延时明显时请改用方法二。</li>
<li>请尽量戴耳机演唱，避免音箱的声音又被麦克风收进去，产生啸叫。</li>
<li>不需要时关闭 sonavera-echo 的窗口即可。</li>
</ol>
<h2>方法二：声卡方式（没有延时）</h2>
<ol>
<li>打开系统的音量控制（例如“声音设置”、pavucontrol 或 alsamixer）。</li>
<li>在播放设备中找到“麦克风”或“Mic”一项，取消静音并把音量调到合适位置。</li>
<li>有的声卡称为“监听”或“Loopback”，打开它即可。</li>
</ol>
<p>两种方法不要同时使用，否则会听到两遍自己的声音。</p>
</body>
</html>
)";

bool WriteFile(const fs::path& path, const std::string& bytes, std::string& error) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.flush();
  if (!out) {
    error = "cannot write " + path.string();
    return false;
  }
  return true;
}

bool AppendGbkLine(const std::string& utf8, std::string& out, std::string& error) {
  const auto gbk = platform::Utf8ToGbk(utf8);
  if (!gbk) {
    error = "'" + utf8 + "' holds a character GBK cannot hold";
    return false;
  }
  out += *gbk + "\n";
  return true;
}

}  // namespace

bool WriteLibraryFiles(const std::string& programFolder, const std::vector<std::string>& catalogueLines,
                       std::string& error) {
  const fs::path folder(programFolder);
  std::error_code ec;
  fs::create_directories(folder / "avi", ec);
  fs::create_directories(folder / "歌曲" / "单曲", ec);
  fs::create_directories(folder / "歌曲" / "串烧歌曲", ec);
  if (ec) {
    error = "cannot create the library folders in " + programFolder + ": " + ec.message();
    return false;
  }
  std::string list, banner, help;
  for (const auto& line : catalogueLines)
    if (!AppendGbkLine(line, list, error)) return false;
  if (!AppendGbkLine(kBanner, banner, error)) return false;
  for (const char* paragraph : kHelpParagraphs)
    if (!AppendGbkLine(paragraph, help, error)) return false;
  return WriteFile(folder / "List.txt", list, error) && WriteFile(folder / "AD.txt", banner, error) &&
         WriteFile(folder / "init", help, error) && WriteFile(folder / "zchelp.htm", kEchoHelp, error);
}

}  // namespace sonavera::songgen
