#pragma once

// Every Japanese text the program writes, as the code-page-932 bytes it writes
// them in. The UTF-8 form next to each is what a reader sees; a test converts
// it with iconv and compares, so nobody has to trust the hex by eye.

#include <array>
#include <string_view>

namespace velm::text {

struct Cp932Text {
  std::string_view Bytes;  // what goes to the console and the result file
  std::string_view Utf8;   // the same text, readable

  constexpr operator std::string_view() const { return Bytes; }
};

// Input files that cannot be opened or read.
// FILEINFO.dat's, after the key "FILEINFO".
inline constexpr Cp932Text kInputCannotOpen{
    " \x93\xfc\x97\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81"
    "\x5b\x83\x76\x83\x93\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",
    " 入力ファイルをオープンできません"};
// Every other input file's, after its key.
inline constexpr Cp932Text kCannotOpen{
    " \x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0\x83\x49\x81\x5b\x83\x76\x83\x93"
    "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",
    " ファイルをオープンできません"};
inline constexpr Cp932Text kLineNumber{"\x8d\x73\x96\xda", "行目"};
inline constexpr Cp932Text kNoComma{
    "\x83\x4a\x83\x93\x83\x7d\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    "カンマがありません"};
inline constexpr Cp932Text kNameTooLong{
    "\x83\x74\x83\x40\x83\x43\x83\x8b\x96\xbc\x82\xaa\x92\xb7\x82\xb7\x82\xac"
    "\x82\xdc\x82\xb7",
    "ファイル名が長すぎます"};
inline constexpr Cp932Text kTooFewFields{
    "\x8d\x80\x96\xda\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    "項目が足りません"};
inline constexpr Cp932Text kTooFewLines{
    "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
    "データが足りません"};
inline constexpr Cp932Text kTooManyLines{
    "\x83\x66\x81\x5b\x83\x5e\x82\xaa\x91\xbd\x82\xb7\x82\xac\x82\xdc\x82\xb7",
    "データが多すぎます"};
inline constexpr Cp932Text kTooManyVariables{
    "\x8d\xc5\x93\x4b\x89\xbb\x95\xcf\x90\x94\x82\xcc\x90\x94\x82\xcd"
    "14\x88\xc8\x89\xba\x82\xc9\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82"
    "\xa2",
    "最適化変数の数は14以下にしてください"};
inline constexpr Cp932Text kIndexOutOfRange{
    "\x8d\xc5\x93\x4b\x89\xbb\x95\xcf\x90\x94\x82\xcc\x94\xd4\x8d\x86\x82\xaa"
    "\x94\xcd\x88\xcd\x8a\x4f\x82\xc5\x82\xb7",
    "最適化変数の番号が範囲外です"};
inline constexpr Cp932Text kTankCountOutOfRange{
    "\x83\x5e\x83\x93\x83\x4e\x90\x94\x82\xcd"
    "0\x82\xa9\x82\xe7"
    "1000\x82\xcc\x94\xcd\x88\xcd\x82\xc9\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82"
    "\xb3\x82\xa2",
    "タンク数は0から1000の範囲にしてください"};
inline constexpr Cp932Text kImperviousIsOne{
    "Impervious \x82\xaa 1 "
    "\x82\xc5\x82\xcd\x8f\x89\x8a\xfa\x90\x85\x90\x5b\x82\xf0\x8c\x76\x8e\x5a"
    "\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1",
    "Impervious が 1 では初期水深を計算できません"};
inline constexpr Cp932Text kNoMaxInfiltration{
    "MAX_Infiltration "
    "\x82\xf0\x8b\x81\x82\xdf\x82\xe7\x82\xea\x82\xdc\x82\xb9\x82\xf1",
    "MAX_Infiltration を求められません"};
inline constexpr Cp932Text kCannotWriteResult{
    "\x8c\x8b\x89\xca\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xc9\x8f\x91\x82\xab"
    "\x8d\x9e\x82\xdf\x82\xdc\x82\xb9\x82\xf1: ",
    "結果ファイルに書き込めません: "};

// Fit report and result-file summary.
inline constexpr Cp932Text kRmseLabel{
    "\x81\x40RMSE;"
    "\x95\xbd\x8b\xcf\x82\x51\x8f\xe6\x8c\xeb\x8d\xb7\x95\xbd\x95\xfb\x8d\xaa=",
    "　RMSE;平均２乗誤差平方根="};
inline constexpr Cp932Text kRrLabel{
    "\x81\x40RR;"
    "\x91\x8a\x91\xce\x8c\xeb\x8d\xb7\x82\xcc\x95\xbd\x8b\xcf\x82\x51\x8f\xe6"
    "\x95\xbd\x95\xfb\x8d\xaa=",
    "　RR;相対誤差の平均２乗平方根="};
inline constexpr Cp932Text kReLabel{
    "\x81\x40RE;\x91\x8a\x91\xce\x8c\xeb\x8d\xb7=", "　RE;相対誤差="};
inline constexpr Cp932Text kBalanceRain{
    "*****\x90\x85\x8e\xfb\x8e\x78***** \x8d\x7e\x89\x4a:",
    "*****水収支***** 降雨:"};
inline constexpr Cp932Text kBalanceObserved{
    " \x8a\xcf\x91\xaa\x97\xac\x97\xca:", " 観測流量:"};
inline constexpr Cp932Text kBalanceCalculated{
    " \x8c\x76\x8e\x5a\x97\xac\x97\xca:", " 計算流量:"};
inline constexpr Cp932Text kBalanceEvaporation{
    " \x8f\xf6\x94\xad\x8e\x55\x97\xca:", " 蒸発散量:"};
inline constexpr Cp932Text kDays{"\x93\xfa\x8a\xd4", "日間"};
inline constexpr Cp932Text kDaysRelativeError{
    "\x93\xfa\x8a\xd4\x81\x40\x91\x8a\x91\xce\x8c\xeb\x8d\xb7=",
    "日間　相対誤差="};
inline constexpr Cp932Text kRelativeError{
    "\x81\x40\x91\x8a\x91\xce\x8c\xeb\x8d\xb7=", "　相対誤差="};

// Calibration progress: console formats (printf) and the matching file labels.
inline constexpr Cp932Text kInitialiseFormat{
    "subp[%2d] \x8f\x89\x8a\xfa\x89\xbb fcount=%6d\n",
    "subp[%2d] 初期化 fcount=%6d\n"};
inline constexpr Cp932Text kInitialiseLabel{
    "] \x8f\x89\x8a\xfa\x89\xbb fcount=", "] 初期化 fcount="};
inline constexpr Cp932Text kGenerationFormat{
    "\x83\x54\x83\x75\x8f\x57\x92\x63%2d:%2d\x90\xa2\x91\xe3\x96\xda\n",
    "サブ集団%2d:%2d世代目\n"};
inline constexpr Cp932Text kSubPopulationLabel{
    "\x83\x54\x83\x75\x8f\x57\x92\x63", "サブ集団"};
inline constexpr Cp932Text kCountLabel{"\x8c\xc2\x81\x46", "個："};
inline constexpr Cp932Text kSortLine{"\x83\x5c\x81\x5b\x83\x67\n", "ソート\n"};
inline constexpr Cp932Text kEpochBestFormat{
    "%2d\x90\xa2\x91\xe3\x96\xda\x82\xcc\x8d\xc5\x93\x4b\x89\xf0  "
    "\x96\xda\x93\x49\x8a\xd6\x90\x94"
    "f= %8.6f  fcount=%6d\n",
    "%2d世代目の最適解  目的関数f= %8.6f  fcount=%6d\n"};
inline constexpr Cp932Text kEpochBestLabel{
    "\x90\xa2\x91\xe3\x96\xda\x82\xcc\x8d\xc5\x93\x4b\x89\xf0  "
    "\x96\xda\x93\x49\x8a\xd6\x90\x94"
    "f=",
    "世代目の最適解  目的関数f="};
inline constexpr Cp932Text kFinalStepFormat{
    "%2d\x90\xa2\x91\xe3\x96\xda subp[0] min.f=%8.6f fcount=%6d\n",
    "%2d世代目 subp[0] min.f=%8.6f fcount=%6d\n"};
inline constexpr Cp932Text kFinalStepLabel{
    "\x90\xa2\x91\xe3\x96\xda subp[0] min.f=", "世代目 subp[0] min.f="};
inline constexpr Cp932Text kFinalBestFormat{
    "\x8d\xc5\x8f\x49\x8d\xc5\x93\x4b\x89\xf0 \x96\xda\x93\x49\x8a\xd6\x90\x94"
    "f= %8.6f\n",
    "最終最適解 目的関数f= %8.6f\n"};
inline constexpr Cp932Text kFinalBestLabel{
    "\x8d\xc5\x8f\x49\x8d\xc5\x93\x4b\x89\xf0 \x96\xda\x93\x49\x8a\xd6\x90\x94 "
    "f=",
    "最終最適解 目的関数 f="};

inline constexpr std::array kAllTexts{&kInputCannotOpen,
                                      &kCannotOpen,
                                      &kLineNumber,
                                      &kNoComma,
                                      &kNameTooLong,
                                      &kTooFewFields,
                                      &kTooFewLines,
                                      &kTooManyLines,
                                      &kTooManyVariables,
                                      &kIndexOutOfRange,
                                      &kTankCountOutOfRange,
                                      &kImperviousIsOne,
                                      &kNoMaxInfiltration,
                                      &kCannotWriteResult,
                                      &kRmseLabel,
                                      &kRrLabel,
                                      &kReLabel,
                                      &kBalanceRain,
                                      &kBalanceObserved,
                                      &kBalanceCalculated,
                                      &kBalanceEvaporation,
                                      &kDays,
                                      &kDaysRelativeError,
                                      &kRelativeError,
                                      &kInitialiseFormat,
                                      &kInitialiseLabel,
                                      &kGenerationFormat,
                                      &kSubPopulationLabel,
                                      &kCountLabel,
                                      &kSortLine,
                                      &kEpochBestFormat,
                                      &kEpochBestLabel,
                                      &kFinalStepFormat,
                                      &kFinalStepLabel,
                                      &kFinalBestFormat,
                                      &kFinalBestLabel};

}  // namespace velm::text
