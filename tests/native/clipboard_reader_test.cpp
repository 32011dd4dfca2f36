// The clipboard reader: one read at a time, off the calling thread, never waited for.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/clipboard_reader.h"
#include "platform/posix/memory_services.h"

namespace {

using platform::ClipboardReader;
using platform::ClipboardReading;

TEST(ClipboardReader, ReadsOneAtATimeAndStartsAWaitingReadWhenTheFirstIsHandedOver) {
  platform::posix::MemoryClipboard clipboard;
  clipboard.CopyText(u"A");
  clipboard.CloseGate();
  std::vector<std::function<void()>> posted;
  std::mutex postedMutex;
  ClipboardReader reader(clipboard, [&](std::function<void()> work) {
    std::lock_guard<std::mutex> lock(postedMutex);
    posted.push_back(std::move(work));
  });
  std::vector<core::Text> got;
  auto keep = [&](ClipboardReading r) { got.push_back(r ? r->text : u"(failed)"); };

  ASSERT_TRUE(reader.Start(ClipboardReader::ReadOnce, keep));
  ASSERT_TRUE(clipboard.WaitUntilReadWaits(10000));
  EXPECT_FALSE(reader.Start(ClipboardReader::ReadOnce, keep)) << "one is pending";
  reader.StartWhenFree(ClipboardReader::ReadOnce, keep);
  EXPECT_EQ(clipboard.readCount, 1);
  EXPECT_FALSE(reader.WaitFor(50)) << "the gate holds the read";
  EXPECT_THROW(clipboard.WriteText(u"mine"), core::AppError) << "the read holds it open";

  clipboard.OpenGate();
  ASSERT_TRUE(reader.WaitFor(10000));
  EXPECT_EQ(got, (std::vector<core::Text>{u"A", u"A"}));
  EXPECT_EQ(clipboard.readCount, 2);
  // The posted hand-overs find nothing left to hand over.
  for (auto& work : posted) work();
  EXPECT_EQ(got.size(), 2u);

  clipboard.busy = true;
  ASSERT_TRUE(reader.Start(ClipboardReader::ReadOnce, keep));
  ASSERT_TRUE(reader.WaitFor(10000));
  EXPECT_EQ(got.back(), u"(failed)");
}

TEST(ClipboardReader, IsNeverWaitedForWhenItGoes) {
  platform::posix::MemoryClipboard clipboard;
  clipboard.CloseGate();
  bool handed = false;
  {
    ClipboardReader reader(clipboard, nullptr);
    reader.Start(ClipboardReader::ReadOnce, [&](ClipboardReading) { handed = true; });
    ASSERT_TRUE(clipboard.WaitUntilReadWaits(10000));
  }  // returns at once with the read still waiting at the gate
  clipboard.OpenGate();
  EXPECT_FALSE(handed);
}

}  // namespace
