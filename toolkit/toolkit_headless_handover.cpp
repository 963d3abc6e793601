// Carrying work over to the window thread. A requester queues its work and
// waits; the window thread runs it in its message loop and while it waits for
// the scheme lock (the wait hook), lending itself the requester's hold on the
// lock for the length of the work.

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "core/scheme_lock.h"
#include "toolkit/toolkit_headless_world.h"

namespace vn::toolkit {

namespace hd = headless::detail;

namespace {

struct Request {
  std::function<void()> work;
  std::thread::id requester;  // no id: nobody waits (a plain post)
  bool done = false;
  bool dropped = false;
};

struct Mailbox {
  std::mutex mutex;
  std::condition_variable arrived;   // wakes the window thread
  std::condition_variable finished;  // wakes the requesters
  std::deque<std::shared_ptr<Request>> handOvers;
  std::deque<std::shared_ptr<Request>> posted;
  bool known = false;
  std::thread::id windowThread;
  std::chrono::milliseconds timeout{60000};
};

Mailbox& TheMailbox() {
  static Mailbox* const mailbox = new Mailbox;
  return *mailbox;
}

// Holds the mailbox's lock.
bool IsWindowThread(const Mailbox& m) { return m.known && m.windowThread == std::this_thread::get_id(); }

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "headless toolkit: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

void InstallWaitHook() {
  // A thread that holds the scheme lock and hands work over waits for the
  // window thread; the window thread waiting for that same lock must answer.
  scheme_lock::SetThreadWaitHook([] { hd::ServeHandOvers(); });
}

void Run(Request& request) {
  {
    scheme_lock::LockLoan loan(request.requester);
    request.work();
  }
  Mailbox& m = TheMailbox();
  std::lock_guard lock(m.mutex);
  request.done = true;
  m.finished.notify_all();
}

std::shared_ptr<Request> Take(std::deque<std::shared_ptr<Request>>& queue) {
  Mailbox& m = TheMailbox();
  std::lock_guard lock(m.mutex);
  if (!IsWindowThread(m) || queue.empty()) return nullptr;
  std::shared_ptr<Request> request = std::move(queue.front());
  queue.pop_front();
  return request;
}

}  // namespace

namespace headless::detail {

void RegisterWindowThread() {
  Mailbox& m = TheMailbox();
  {
    std::lock_guard lock(m.mutex);
    if (m.known) return;
    m.known = true;
    m.windowThread = std::this_thread::get_id();
    m.finished.notify_all();  // WaitForWindowThread
  }
  InstallWaitHook();
}

void AdoptWindowThread() {
  Mailbox& m = TheMailbox();
  {
    std::lock_guard lock(m.mutex);
    m.known = true;
    m.windowThread = std::this_thread::get_id();
  }
  InstallWaitHook();
}

void ForgetWindowThread() {
  Mailbox& m = TheMailbox();
  bool wasWindowThread = false;
  {
    std::lock_guard lock(m.mutex);
    wasWindowThread = IsWindowThread(m);
    m.known = false;
    m.windowThread = std::thread::id();
    for (auto* queue : {&m.handOvers, &m.posted}) {
      for (const auto& request : *queue) {
        request->dropped = true;
        request->done = true;
      }
      queue->clear();
    }
    m.finished.notify_all();
  }
  if (wasWindowThread) scheme_lock::SetThreadWaitHook(nullptr);
}

void Exchange(const std::function<void()>& work, bool posted) {
  Mailbox& m = TheMailbox();
  auto request = std::make_shared<Request>();
  std::unique_lock lock(m.mutex);
  if (!m.known || m.windowThread == std::this_thread::get_id()) {
    lock.unlock();
    work();
    return;
  }
  request->work = work;
  request->requester = std::this_thread::get_id();
  (posted ? m.posted : m.handOvers).push_back(request);
  m.arrived.notify_all();
  if (!m.finished.wait_for(lock, m.timeout, [&] { return request->done; })) {
    Fail(posted ? "the window thread did not take a user action in time" : "the window thread did not answer a hand-over in time");
  }
  if (request->dropped) Fail("the window thread was reset while a request waited");
}

void PostAction(std::function<void()> action) {
  Mailbox& m = TheMailbox();
  auto request = std::make_shared<Request>();
  request->work = std::move(action);
  std::lock_guard lock(m.mutex);
  m.posted.push_back(std::move(request));
  m.arrived.notify_all();
}

bool ServeHandOvers() {
  bool ran = false;
  while (std::shared_ptr<Request> request = Take(TheMailbox().handOvers)) {
    Run(*request);
    ran = true;
  }
  return ran;
}

bool ServeOnePosted() {
  std::shared_ptr<Request> request = Take(TheMailbox().posted);
  if (!request) return false;
  Run(*request);
  return true;
}

void WaitForRequests(std::chrono::milliseconds slice) {
  Mailbox& m = TheMailbox();
  std::unique_lock lock(m.mutex);
  m.arrived.wait_for(lock, slice, [&] { return !m.handOvers.empty() || !m.posted.empty(); });
}

std::chrono::milliseconds Timeout() {
  Mailbox& m = TheMailbox();
  std::lock_guard lock(m.mutex);
  return m.timeout;
}

void SetExchangeTimeout(std::chrono::milliseconds timeout) {
  Mailbox& m = TheMailbox();
  std::lock_guard lock(m.mutex);
  m.timeout = timeout;
}

}  // namespace headless::detail

bool headless::WaitForWindowThread(std::chrono::milliseconds limit) {
  Mailbox& m = TheMailbox();
  std::unique_lock lock(m.mutex);
  return m.finished.wait_for(lock, limit, [&m] { return m.known && m.windowThread != std::this_thread::get_id(); });
}

void RunOnWindowThread(const std::function<void()>& work) { hd::Exchange(work, /*posted=*/false); }

void PostToWindowThread(std::function<void()> work) {
  if (!work) return;
  if (OnWindowThread()) {
    work();
    return;
  }
  hd::PostAction(std::move(work));
}

bool OnWindowThread() {
  Mailbox& m = TheMailbox();
  std::lock_guard lock(m.mutex);
  return !m.known || m.windowThread == std::this_thread::get_id();
}

}  // namespace vn::toolkit
