#pragma once

#include "codec/analyse_file_command.h"
#include "rules/sort_mails.h"

// Every text the receive pipeline and its commands show, in Shift_JIS.

namespace lp::receive_text {

// 新しいメールが %d通 到着しました
inline constexpr char kNewMailFormat[] =
    "\x90\x56\x82\xb5\x82\xa2\x83\x81\x81\x5b\x83\x8b\x82\xaa\x20\x25\x64\x92\xca\x20\x93\x9e\x92\x85\x82\xb5\x82\xdc"
    "\x82\xb5\x82\xbd";
// 新しいメールはありません
inline constexpr char kNoNewMail[] =
    "\x90\x56\x82\xb5\x82\xa2\x83\x81\x81\x5b\x83\x8b\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// %d通の送信メールを作成しました (the sort rules' own notice text)
inline constexpr const char* kCreatedMailFormat = kCreatedOutgoingFormat;
// 解析に失敗しました
inline constexpr std::string_view kAnalysisFailed = kMessageAnalysisFailed;
// Err:POPサーバに接続できません
inline constexpr char kCannotConnectPop[] =
    "\x45\x72\x72\x3a\x50\x4f\x50\x83\x54\x81\x5b\x83\x6f\x82\xc9\x90\xda\x91\xb1\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82"
    "\xf1";
// inbox.logが削除できません
inline constexpr char kCannotDeleteSpool[] =
    "\x69\x6e\x62\x6f\x78\x2e\x6c\x6f\x67\x82\xaa\x8d\xed\x8f\x9c\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1";
// サーバ上のメールを全て削除しますか？
inline constexpr char kAskDeleteAll[] =
    "\x83\x54\x81\x5b\x83\x6f\x8f\xe3\x82\xcc\x83\x81\x81\x5b\x83\x8b\x82\xf0\x91\x53\x82\xc4\x8d\xed\x8f\x9c\x82\xb5"
    "\x82\xdc\x82\xb7\x82\xa9\x81\x48";
// 削除が終了しました
inline constexpr char kDeleteAllFinished[] = "\x8d\xed\x8f\x9c\x82\xaa\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb5\x82\xbd";

// Status-bar texts.
// POPサーバ接続中
inline constexpr char kConnectingPop[] = "\x50\x4f\x50\x83\x54\x81\x5b\x83\x6f\x90\xda\x91\xb1\x92\x86";
// ﾚﾃﾞｨ
inline constexpr char kReady[] = "\xda\xc3\xde\xa8";
// R %02d/%02d %02d:%02d (month, day, hour, minute of the last receive)
inline constexpr char kReceiveTimeFormat[] = "R %02d/%02d %02d:%02d";

}  // namespace lp::receive_text
