#pragma once

namespace sonavera::app::texts {

// What the main window's message boxes say.
inline constexpr const char* kWarningCaption = "警告";
inline constexpr const char* kCaptureFailed =
    "打开录音设备出错！点击‘设置帮助--声卡设置”选择其他选项尝试。\r\n若还未解决问题，请联系QQ客服";
inline constexpr const char* kCaptureFailedEnd = "为您解决";
inline constexpr const char* kChooseFourSongs = "请选择四首要演唱的歌曲";
inline constexpr const char* kNoDanceInKtv = "K歌模式下不能热舞";
inline constexpr const char* kKtvNeedsSinging = "K歌模式下必须选择狂歌";
inline constexpr const char* kSongQueued = "该歌曲正在下载中，\n请先演唱其他歌曲";
inline constexpr const char* kKtvMarker = "K 歌";
inline constexpr const char* kDanceMarker = "Vexo";
inline constexpr const char* kKtvNameMarker = "_KTV版";

}  // namespace sonavera::app::texts
