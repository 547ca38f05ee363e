// Runs a lambda on a thread started by OSThreadCreate, so tests exercise the
// library's own threads (and their thread-data registration), and joins it
// when it goes out of scope. Public API only: the acceptance tests use it too.
#ifndef GNUTIL_TESTS_SUPPORT_THREAD_RUNNER_H
#define GNUTIL_TESTS_SUPPORT_THREAD_RUNNER_H

#include <gnutil/osthread.h>

#include <functional>
#include <utility>

namespace gnutil_test {

class TestThread {
 public:
  explicit TestThread(std::function<void()> body, void* threadData = nullptr)
      : body_(std::move(body)) {
    handle_ = OSThreadCreate(&TestThread::Run, this, threadData);
  }
  ~TestThread() {
    Join();
    OSThreadDestroy(handle_);
  }
  TestThread(const TestThread&) = delete;
  TestThread& operator=(const TestThread&) = delete;

  void Join() {
    if (handle_ != nullptr) OSThreadTerminateWait(handle_);
  }

 private:
  static unsigned int Run(void* self) {
    static_cast<TestThread*>(self)->body_();
    return 0;
  }

  std::function<void()> body_;
  _osthread* handle_ = nullptr;
};

}  // namespace gnutil_test

#endif  // GNUTIL_TESTS_SUPPORT_THREAD_RUNNER_H
