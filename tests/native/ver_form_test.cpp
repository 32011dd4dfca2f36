// The version dialog: its rows, columns and look.
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/headless/headless.h"
#include "ui/ver_form.h"

namespace {

TEST(VerFormTest, HistoryRowsNewestFirst) {
  ui::TVerForm dialog;
  const auto& items = dialog.ListView1.Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].caption, u"Ver1.00.0002");
  EXPECT_EQ(items[0].subItems, (std::vector<core::Text>{u"履歴検索機能追加"}));
  EXPECT_EQ(items[1].caption, u"Ver1.00.0001");
  EXPECT_EQ(items[1].subItems, (std::vector<core::Text>{u"初版"}));
  auto& columns = dialog.ListView1.Columns();
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].caption, u"バージョン");
  EXPECT_EQ(columns[0].width, 80);
  EXPECT_EQ(columns[1].caption, u"内容");
  EXPECT_EQ(columns[1].width, 200);
}

TEST(VerFormTest, CreatingAgainDoesNotAddRows) {
  ui::TVerForm dialog;
  dialog.FormCreate();
  EXPECT_EQ(dialog.ListView1.Items().size(), 2u);
}

TEST(VerFormTest, LabelsLieOverTheBannerAndTheListAboveAll) {
  ui::TVerForm dialog;
  const auto& children = dialog.Children();
  auto position = [&](const gui::Control* c) {
    return std::find(children.begin(), children.end(), c) - children.begin();
  };
  EXPECT_LT(position(&dialog.Image1), position(&dialog.Label1));
  EXPECT_LT(position(&dialog.Label4), position(&dialog.ListView1));
  EXPECT_TRUE(dialog.Label1.transparent && dialog.Label4.transparent);
  EXPECT_TRUE(dialog.Image1.stretch);
  EXPECT_FALSE(dialog.Image2.stretch);
}

TEST(VerFormTest, ClosingClearsTheGlobal) {
  gui::headless::Reset();
  ui::TVerForm dialog;
  ui::VerForm = &dialog;
  EXPECT_TRUE(dialog.Close());
  EXPECT_EQ(ui::VerForm, nullptr);
}

}  // namespace
