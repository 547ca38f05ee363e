// Reader/writer locks with real threads: sharing, exclusion and the
// preference for readers.
#include <gnutil/osthread.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "support/thread_runner.h"
#include "support/watchdog.h"

namespace {

using gnutil_test::TestThread;
using gnutil_test::WaitUntil;
using std::chrono::milliseconds;

constexpr milliseconds kStaysBlocked{100};

struct Lock {
  _osrdwr* rw = OSRWLockCreate();
  ~Lock() { OSRWLockDestroy(rw); }
};

class RWLockTest : public ::testing::Test {
 protected:
  void SetUp() override { OSSetThreaded(); }
};

// Two readers inside at once; a writer waits for both, and readers wait for
// the writer.
TEST_F(RWLockTest, ReadersShareAndWritersExclude) {
  Lock lock;
  std::atomic<int> readers{0};
  std::atomic<bool> releaseFirst{false}, releaseSecond{false}, writerIn{false};
  auto reader = [&](std::atomic<bool>& release) {
    return [&, flag = &release] {
      OSRWLockReadWait(lock.rw);
      ++readers;
      WaitUntil([flag] { return flag->load(); }, std::chrono::seconds(30));
      --readers;
      OSRWLockReadRelease(lock.rw);
    };
  };
  TestThread first(reader(releaseFirst));
  TestThread second(reader(releaseSecond));
  ASSERT_TRUE(WaitUntil([&] { return readers == 2; })) << "two readers must hold the lock together";

  TestThread writer([&] {
    OSRWLockWriteWait(lock.rw);
    writerIn = true;
    EXPECT_EQ(readers, 0);
    OSRWLockWriteRelease(lock.rw);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(writerIn);
  releaseFirst = true;
  ASSERT_TRUE(WaitUntil([&] { return readers == 1; }));
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(writerIn) << "the writer came in while a reader remained";
  releaseSecond = true;
  EXPECT_TRUE(WaitUntil([&] { return writerIn.load(); }));
}

TEST_F(RWLockTest, ReaderWaitsWhileAWriterHoldsTheLock) {
  Lock lock;
  OSRWLockWriteWait(lock.rw);
  std::atomic<bool> readerIn{false};
  TestThread reader([&] {
    OSRWLockReadWait(lock.rw);
    readerIn = true;
    OSRWLockReadRelease(lock.rw);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(readerIn);
  OSRWLockWriteRelease(lock.rw);
  EXPECT_TRUE(WaitUntil([&] { return readerIn.load(); }));
}

TEST_F(RWLockTest, SecondWriterWaitsForTheFirst) {
  Lock lock;
  OSRWLockWriteWait(lock.rw);
  std::atomic<bool> writerIn{false};
  TestThread writer([&] {
    OSRWLockWriteWait(lock.rw);
    writerIn = true;
    OSRWLockWriteRelease(lock.rw);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  EXPECT_FALSE(writerIn);
  OSRWLockWriteRelease(lock.rw);
  EXPECT_TRUE(WaitUntil([&] { return writerIn.load(); }));
}

// A waiting writer does not hold back new readers while a reader is inside.
TEST_F(RWLockTest, ArrivingReadersGoAheadOfAWaitingWriter) {
  Lock lock;
  OSRWLockReadWait(lock.rw);
  std::atomic<bool> writerIn{false}, lateReaderIn{false};
  TestThread writer([&] {
    OSRWLockWriteWait(lock.rw);
    writerIn = true;
    OSRWLockWriteRelease(lock.rw);
  });
  std::this_thread::sleep_for(kStaysBlocked);
  TestThread lateReader([&] {
    OSRWLockReadWait(lock.rw);
    lateReaderIn = true;
    OSRWLockReadRelease(lock.rw);
  });
  EXPECT_TRUE(WaitUntil([&] { return lateReaderIn.load(); }));
  EXPECT_FALSE(writerIn);
  OSRWLockReadRelease(lock.rw);
  EXPECT_TRUE(WaitUntil([&] { return writerIn.load(); }));
}

// The guard is recursive, so a writer can also take the lock for reading.
TEST_F(RWLockTest, WriterMayReadItsOwnLock) {
  Lock lock;
  std::atomic<bool> done{false};
  TestThread t([&] {
    OSRWLockWriteWait(lock.rw);
    OSRWLockReadWait(lock.rw);
    OSRWLockReadRelease(lock.rw);
    OSRWLockWriteRelease(lock.rw);
    OSRWLockWriteWait(lock.rw);  // free again afterwards
    OSRWLockWriteRelease(lock.rw);
    done = true;
  });
  t.Join();
  EXPECT_TRUE(done);
}

// Mixed readers and writers: a writer never overlaps anyone, readers only
// each other, and every reader sees a consistent pair of values.
TEST_F(RWLockTest, StressMixedReadersAndWriters) {
  Lock lock;
  std::atomic<int> readersIn{0}, writersIn{0}, violations{0};
  long a = 0, b = 0;  // written only under the write lock; a == b always
  std::atomic<long> reads{0};
  {
    std::vector<std::unique_ptr<TestThread>> threads;
    for (int t = 0; t < 8; ++t) {
      bool isWriter = t % 4 == 0;
      threads.push_back(std::make_unique<TestThread>([&, isWriter] {
        for (int i = 0; i < 1500; ++i) {
          if (isWriter) {
            OSRWLockWriteWait(lock.rw);
            if (writersIn.fetch_add(1) != 0 || readersIn.load() != 0) ++violations;
            ++a;
            ++b;
            writersIn.fetch_sub(1);
            OSRWLockWriteRelease(lock.rw);
          } else {
            OSRWLockReadWait(lock.rw);
            readersIn.fetch_add(1);
            if (writersIn.load() != 0 || a != b) ++violations;
            ++reads;
            readersIn.fetch_sub(1);
            OSRWLockReadRelease(lock.rw);
          }
        }
      }));
    }
  }
  EXPECT_EQ(violations, 0);
  EXPECT_EQ(a, 2 * 1500);
  EXPECT_EQ(reads, 6 * 1500);
}

}  // namespace
