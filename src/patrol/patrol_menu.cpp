// SPDX-License-Identifier: GPL-3.0-or-later
#include "patrol/patrol_menu.h"

#include <cstdio>

namespace zeltaro::patrol {

namespace {

std::string format(const char* pattern, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, n);
  return buf;
}

std::vector<PatrolMenuItem> buildItems() {
  std::vector<PatrolMenuItem> v;
  auto item = [&v](std::string name, std::string caption, std::string parent = {}) {
    const int number = captionNumber(caption);
    v.push_back({std::move(name), std::move(caption), std::move(parent), false, number});
  };
  auto sub = [&v](std::string name, std::string caption, std::string parent = {}) {
    v.push_back({std::move(name), std::move(caption), std::move(parent), true, 0});
  };
  auto sep = [&v](std::string parent = {}) { v.push_back({{}, {}, std::move(parent), false, 0}); };

  item("menu_MarkAndSkip", "ﾏｰｸ && ｽｷｯﾌﾟ");
  sep();
  item("N7", "再セット");
  item("N4", "自動");
  item("N6", "全削除");
  sep();
  item("N37", "選択行削除");
  item("N38", "選択行転送");
  sep();
  item("C1", "全チェック");
  item("N20", "全解除");
  sep();
  item("P1", "巡回");
  item("N3", "全巡回解除");
  sep();
  item("newN1", "新着 ON");
  item("newOFF1", "新着 OFF");
  sep();
  sub("N16", "▼▲123ワッチ");
  item("N11", "1", "N16");
  item("N21", "2", "N16");
  item("N31", "3", "N16");
  sep("N16");
  sub("N13", "ワッチ(3秒)", "N16");
  sub("N1101", "1～10秒", "N13");
  for (int s = 1; s <= 10; ++s) item(format("sec%d", s), format("%2d秒", s), "N1101");
  sub("N11201", "11～20秒", "N13");
  for (int s = 11; s <= 20; ++s) item(format("sec%d", s), format("%2d秒", s), "N11201");
  sub("N21301", "21～30秒", "N13");
  for (int s = 21; s <= 30; ++s) item(format("sec%d", s), format("%2d秒", s), "N21301");
  sub("N14", "40秒 ～", "N13");
  for (int s : {40, 50, 60, 90, 120, 150, 180, 210, 240, 270, 300})
    item(format("sec%d", s), format("%3d秒", s), "N14");
  sep("N16");
  item("N8", "▼", "N16");
  item("N9", "▲", "N16");
  sep();
  item("N12", "最前面");
  sep();
  sub("N10", "自動巡回設定");
  sub("LogALLnew1", "LogALL new (10件)", "N10");
  for (int c : {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80, 90, 100})
    item(format("count%d", c), format("%2d件", c), "LogALLnew1");
  sub("N22", "時間経過設定(180分)", "N10");
  item("N25", "有効", "N22");
  for (int m = 30; m <= 300; m += 30) item(format("age%d", m), format("%d分", m), "N22");
  sep();
  sub("N27", "メイン画面操作");
  item("N15", "手動アクセス", "N27");
  sep("N27");
  item("CLR1", "CLR", "N27");
  item("SAVE1", "SAVE", "N27");
  // Only the choice items read their caption's number.
  for (PatrolMenuItem& i : v)
    if (i.name.rfind("sec", 0) != 0 && i.name.rfind("count", 0) != 0 && i.name.rfind("age", 0) != 0)
      i.number = 0;
  return v;
}

}  // namespace

const std::vector<PatrolMenuItem>& patrolMenuItems() {
  static const std::vector<PatrolMenuItem> items = buildItems();
  return items;
}

int captionNumber(std::string_view caption) {
  std::size_t i = 0;
  while (i < caption.size() && caption[i] == ' ') ++i;
  int n = 0;
  for (; i < caption.size() && caption[i] >= '0' && caption[i] <= '9'; ++i)
    n = n * 10 + (caption[i] - '0');
  return n;
}

}  // namespace zeltaro::patrol
