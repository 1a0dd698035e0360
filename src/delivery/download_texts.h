#pragma once

namespace sonavera::delivery::texts {

// What the download window, the notices and the message boxes say.
inline constexpr const char* kChecking = "正在校验下载地址...";
inline constexpr const char* kSizeError = "下载错误！\n请点击退出后重新下载或联系客服";
inline constexpr const char* kDownloading = " 正在下载...";  // after the song's name
inline constexpr const char* kAttemptFailed = "下载失败";
inline constexpr const char* kDone = "下载完成！";
inline constexpr const char* kArchiveFailed = "下载失败，请检查网络或联系客服。";
inline constexpr const char* kTokenFailed = "网络连接出错";
inline constexpr const char* kNoNetwork = "网络连接错误。请检查网络，重新打开软件尝试";
inline constexpr const char* kSongQueued = "该歌曲正在下载中，\n请先演唱其他歌曲";
inline constexpr const char* kMegabytes = "MB";
inline constexpr const char* kKilobytesPerSecond = "KB/秒";
inline constexpr const char* kSpeedReset = "Kb/秒";

}  // namespace sonavera::delivery::texts
