#include "stage/results_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/text_encoding.h"

namespace sonavera::stage {
namespace {

[[gnu::format(printf, 1, 2)]] std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

bool HasLine(const content::SongTables* song, int line) {
  return song != nullptr && line >= 0 && line < static_cast<int>(song->lineStart.size()) &&
         line < static_cast<int>(song->lineEnd.size());
}

// "%d:%d～%d:%d" style pieces: minutes and seconds of a line's truncated start and end.
std::array<int, 4> LineClock(const content::SongTables& song, int line) {
  const int start = static_cast<int>(song.lineStart[line]);
  const int end = static_cast<int>(song.lineEnd[line]);
  return {start / 60, start % 60, end / 60, end % 60};
}

std::string SpanText(const ResultsFacts& facts, int line, const char* format) {
  if (!HasLine(facts.song, line)) return "";
  const auto c = LineClock(*facts.song, line);
  return Format(format, c[0], c[1], c[2], c[3]);
}

}  // namespace

ScoreDigits DigitsOf(float score) {
  ScoreDigits result;
  int v = static_cast<int>(score * 10.0f);
  if (v < 0) v = 0;
  if (v >= 1000) {
    result.hundred = true;
    result.digits = {1, 0, 0};
    return result;
  }
  result.digits = {v / 100, (v % 100) / 10, v % 10};
  return result;
}

std::string LineLyric(const content::SongTables& song, int line) {
  if (line < 0 || line >= static_cast<int>(song.lineNoteCount.size())) return "";
  int first = 0;
  for (int l = 0; l < line; ++l) first += song.lineNoteCount[l];
  std::string lyric;
  for (int k = first; k < first + song.lineNoteCount[line] && k < static_cast<int>(song.noteLyrics.size());
       ++k) {
    if (k >= 0) lyric += song.noteLyrics[k];
  }
  return lyric;
}

std::string ReportLyric(const content::SongTables& song, int line) {
  // GBK trail bytes never fall on ' ' or '-', so the bytes can be walked one by one.
  std::string joined = LineLyric(song, line);
  std::string marked;
  for (size_t i = 0; i < joined.size(); ++i) {
    if (joined[i] == ' ' && i + 1 < joined.size() && joined[i + 1] == ' ') {
      marked += '-';
      ++i;
    } else if (joined[i] != ' ') {
      marked += joined[i];
    }
  }
  for (char& c : marked) {
    if (c == '-') c = ' ';
  }
  return marked;
}

std::string SummaryText(const ResultsFacts& facts) {
  std::string text;
  if (facts.singOn && facts.bestLineScore > 0 && facts.bestLine >= 0) {
    text += SpanText(facts, facts.bestLine, "时间段%d:%d～%d:%d，");
    if (HasLine(facts.song, facts.bestLine))
      text += Format("该句为演唱音准最高分：%0.1f分！\n", facts.bestLineScore);
  }
  if (facts.singOn && facts.worstLineScore < 100 && facts.worstLine >= 0) {
    text += SpanText(facts, facts.worstLine, "时间段%d:%d～%d:%d，");
    if (HasLine(facts.song, facts.worstLine))
      text += Format("该句为演唱音准最低分：%0.1f分！\n", facts.worstLineScore);
  }
  if (!facts.singOn && !facts.ktvMode) return text;
  if (facts.danceOn && facts.singOn) {
    if (facts.bestAllRoundLine != -1)
      text += SpanText(facts, facts.bestAllRoundLine, "时间段%d:%d～%d:%d: 整体表现最棒！\n");
    if (facts.breathLine != -1)
      text += SpanText(facts, facts.breathLine, "时间段%d:%d～%d:%d: 需控制气息平稳。\n");
    if (facts.bestGoodLineStreak != 0)
      text += Format("演唱连续好评最大次数： %d次！\n", facts.bestGoodLineStreak);
  }
  if (facts.ktvMode) {
    if (facts.finalScore < 80) {
      text += "分数低了点，就不显示出来了哦\n";
    } else {
      text += "别骄傲哦，KTV歌曲评分比较宽松啦\n";
    }
  }
  if (facts.danceOn) {
    if (facts.bestDanceCombo != 0) text += Format("跳舞连续脚步最大次数： %d次！\n", facts.bestDanceCombo);
    if (facts.finalScore > 0 && facts.danceScore > 0)
      text += Format("消耗卡路里大约： %0.1fKcal！", facts.kcal);
  }
  return text;
}

std::string ReportHtml(const ResultsFacts& facts) {
  std::string html;
  if (facts.bestLineScore > 0 && HasLine(facts.song, facts.bestLine)) {
    html = SpanText(facts, facts.bestLine, "时间段%d:%d--%d:%d<br>歌词：");
    html += platform::GbkToUtf8(ReportLyric(*facts.song, facts.bestLine)) + "<br>";
    html +=
        Format("<FONT color=#ff0000>该句为演唱音准最高分：%0.1f分！</FONT><br><a href=", facts.bestLineScore);
    html += "\"app:ok\">原唱与你的清唱对比>></a><p></p>";
  }
  if (facts.worstLineScore < 100 && HasLine(facts.song, facts.worstLine)) {
    html += SpanText(facts, facts.worstLine, "时间段%d:%d--%d:%d<br>歌词：");
    html += platform::GbkToUtf8(ReportLyric(*facts.song, facts.worstLine)) + "<br>";
    html += Format("<FONT color=#ff0000>该句为演唱音准最低分：%0.1f分！</FONT><br><a href=",
                   facts.worstLineScore);
    html += "\"app:badplay\">原唱与你的清唱对比>></a><br>";
  }
  return html;
}

std::string ShareTitle(const ResultsFacts& facts) {
  const bool sings = facts.singOn || facts.ktvMode;
  const std::string tag = "%23Vexo：" + facts.songTitle + "%23";
  if (sings && !facts.danceOn)
    return "麦霸从来都这么低调！" + tag + Format(";演唱分数:%0.1f", facts.finalScore);
  if (sings) {
    return "能歌善舞的奇葩！" + tag +
           Format(";综合得分:%0.1f分;演唱:%0.1f分;跳舞:%0.1f分;", facts.overallScore, facts.finalScore,
                  facts.danceScore) +
           SummaryText(facts);
  }
  return "舞神从来都这么低调！" + tag + Format(";跳舞分数:%0.1f", facts.danceScore);
}

std::string WeiboShareUrl(const ShareConfig& config, const ResultsFacts& facts) {
  return config.weiboUrl + "/share/share.php?url=" + config.siteUrl + "&appkey=&title=" + ShareTitle(facts) +
         " @Sonavera" + "&pic=" + config.sharePictureUrl;
}

std::string TencentShareUrl(const ShareConfig& config, const ResultsFacts& facts) {
  return config.tencentWeiboUrl + "/index.php?c=share&a=index&title=" + ShareTitle(facts) + " @Sonavera" +
         "&url=" + config.siteUrl + "&appkey=512337640&site=" + config.siteUrl +
         "&pic=" + config.sharePictureUrl;
}

bool AppendTestLine(const std::string& programFolder, const std::string& text) {
  FILE* file = std::fopen((programFolder + "test.txt").c_str(), "ab");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace sonavera::stage
