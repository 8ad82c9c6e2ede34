// The serial link: the open/close sequence, the buffers, the four threads and the hand-over of
// received bytes to the main thread.

#include "serial/serial_link.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "serial/link_texts.h"
#include "serial/serial_device.h"

namespace ethconf {
namespace {

using std::chrono::milliseconds;

constexpr std::size_t kReceiveSize = 8192;
constexpr std::size_t kChunkSize = 256;
constexpr milliseconds kHandOverLimit{3000};
constexpr milliseconds kThreadStartLimit{3000};
constexpr milliseconds kFlushLimit{5000};
constexpr milliseconds kReaderPeriod{50};
constexpr milliseconds kDispatcherPeriod{50};
constexpr milliseconds kWriterPeriod{100};
// How long a close waits for the threads between two rounds of the main thread's pending work.
constexpr milliseconds kCloseRound{10};

}  // namespace

// The receiver of the link's posted work. Tasks still queued after the port closed (or the link
// went) find Link empty and do nothing. Touched only on the main thread.
struct TSerialLink::TTarget {
  TSerialLink* Link = nullptr;
};

// One data notification on its way to the main thread, and the dispatcher's wait for it.
class TSerialLink::TNotification {
 public:
  explicit TNotification(std::uint16_t count) : m_count(count) {}
  std::uint16_t Count() const { return m_count; }
  // The handler has finished, or the close has released the dispatcher.
  void Finish() {
    {
      std::lock_guard lock(m_mutex);
      m_finished = true;
    }
    m_changed.notify_all();
  }
  void WaitFinished(milliseconds limit) {
    std::unique_lock lock(m_mutex);
    m_changed.wait_for(lock, limit, [this] { return m_finished; });
  }

 private:
  const std::uint16_t m_count;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_finished = false;
};

// Everything that exists only while the port is open.
class TSerialLink::TSession {
 public:
  TSession(std::unique_ptr<ISerialDevice> device, const TLineSettings& settings,
           IMainThreadQueue& mainThread, std::shared_ptr<TTarget> target)
      : m_device(std::move(device)),
        m_triggerLength(std::max<std::uint16_t>(settings.TriggerLength, 1)),
        m_mainThread(mainThread),
        m_target(std::move(target)),
        m_receive(kReceiveSize),
        m_output(std::max<std::uint32_t>(settings.OutSize, 1)) {}

  ~TSession() {
    RequestStop();
    JoinThreads();
  }

  void StartThreads() {
    Start(m_readThread, &TSession::TReadThread);
    Start(m_dispThread, &TSession::TDispThread);
    Start(m_writeThread, &TSession::TWriteThread);
    Start(m_statusThread, &TSession::TStatusThread);
  }

  // ---- main thread: reading ----

  bool CharReady() {
    std::lock_guard lock(m_receiveMutex);
    return m_inProgress ? m_taken < m_notifiedCount : Unread() > 0;
  }

  std::uint8_t GetChar() {
    std::lock_guard lock(m_receiveMutex);
    // During a notification the bytes are only counted; the dispatcher commits them at its end.
    if (m_inProgress) {
      if (m_taken >= m_notifiedCount) {
        throw TLinkError(link_texts::kBufferEmpty);
      }
      return m_receive[(m_readPos + m_taken++) % kReceiveSize];
    }
    if (Unread() == 0) {
      throw TLinkError(link_texts::kBufferEmpty);
    }
    const std::uint8_t byte = m_receive[m_readPos];
    m_readPos = (m_readPos + 1) % kReceiveSize;
    m_full = false;
    return byte;
  }

  // ---- main thread: sending ----

  void PutString(ByteView data) {
    {
      std::lock_guard lock(m_outputMutex);
      if (m_output.size() - m_outputCount < data.size()) {
        throw TLinkError(link_texts::kOutputTooSmall);
      }
      for (const std::uint8_t byte : data) {
        m_output[(m_outputStart + m_outputCount++) % m_output.size()] = byte;
      }
    }
    m_outputChanged.notify_all();
  }

  // ---- main thread: closing ----

  // Empties the output buffer and the driver's send queue, and has the writer give up a pending
  // write and acknowledge.
  void DiscardOutput() {
    std::unique_lock lock(m_outputMutex);
    m_outputStart = 0;
    m_outputCount = 0;
    m_flushRequested = true;
    m_flushAcknowledged = false;
    m_device->PurgeOutput();
    m_device->WakeWriter();
    m_outputChanged.notify_all();
    // A writer stopped by a background failure acknowledges nothing.
    m_outputChanged.wait_for(lock, kFlushLimit,
                             [this] { return m_flushAcknowledged || m_stop.load(); });
    m_flushRequested = false;
  }

  // Drops the driver's receive queue, the chunks and every unread byte.
  void DiscardInput() {
    m_device->PurgeInput();
    std::lock_guard chunkLock(m_chunkMutex);
    m_chunks.clear();
    m_chunkOffset = 0;
    std::lock_guard lock(m_receiveMutex);
    m_readPos = m_writePos;
    m_full = false;
    m_taken = 0;
  }

  // Tells every thread to end and releases a dispatcher that waits for a handler.
  void RequestStop() {
    {
      std::lock_guard lock(m_controlMutex);
      m_stop = true;
      if (m_pending) {
        m_pending->Finish();
      }
    }
    WakeAll();
  }

  // Waits until the threads have ended, a notification has been posted, or the limit passed.
  bool WaitThreadsEnded(milliseconds limit) {
    std::unique_lock lock(m_lifeMutex);
    m_lifeChanged.wait_for(lock, limit, [this] { return m_running == 0 || m_posted; });
    m_posted = false;
    return m_running == 0;
  }

  void JoinThreads() {
    for (std::thread* thread : {&m_statusThread, &m_writeThread, &m_readThread, &m_dispThread}) {
      if (thread->joinable()) {
        thread->join();
      }
    }
  }

 private:
  using TThreadBody = void (TSession::*)();

  // Starts a thread and waits until it runs; the open carries on when it takes too long.
  void Start(std::thread& thread, TThreadBody body) {
    thread = std::thread([this, body] {
      {
        std::lock_guard lock(m_lifeMutex);
        ++m_started;
        ++m_running;
      }
      m_lifeChanged.notify_all();
      try {
        (this->*body)();
      } catch (...) {
        Fail(body == &TSession::TWriteThread ? link_texts::kWriteError : link_texts::kReadError);
      }
      {
        std::lock_guard lock(m_lifeMutex);
        --m_running;
      }
      m_lifeChanged.notify_all();
    });
    const int expected = ++m_launched;
    std::unique_lock lock(m_lifeMutex);
    m_lifeChanged.wait_for(lock, kThreadStartLimit, [&] { return m_started >= expected; });
  }

  // Wakes every wait of every thread.
  void WakeAll() {
    m_device->Interrupt();
    for (auto [mutex, condition] :
         {std::pair{&m_inputMutex, &m_inputChanged}, std::pair{&m_chunkMutex, &m_chunkChanged},
          std::pair{&m_outputMutex, &m_outputChanged}}) {
      std::lock_guard lock(*mutex);
      condition->notify_all();
    }
  }

  // A background failure: every thread ends and the main thread hears of it at once. A failure
  // after the close began is the close's own doing and is not reported.
  void Fail(const char* text) {
    {
      std::lock_guard lock(m_controlMutex);
      if (m_stop) {
        return;
      }
      m_stop = true;
    }
    WakeAll();
    m_mainThread.Post([target = m_target, message = std::string(text)] {
      if (target->Link != nullptr) {
        target->Link->ReportFailure(message);
      }
    });
  }

  // ---- TStatusThread: waits for device events and tells the reader of received bytes ----
  void TStatusThread() {
    while (!m_stop.load()) {
      const ISerialDevice::TWait event = m_device->WaitForInput();
      if (event == ISerialDevice::TWait::Interrupted) {
        return;
      }
      std::unique_lock lock(m_inputMutex);
      m_inputSignalled = true;
      m_hungUp = event == ISerialDevice::TWait::HungUp;
      m_inputChanged.notify_all();
      if (m_hungUp) {
        return;
      }
      // Input stays readable until the reader has taken it; wait for that before looking again.
      m_inputChanged.wait(lock, [this] { return !m_inputSignalled || m_stop.load(); });
    }
  }

  // ---- TReadThread: reads what has arrived into chunks for the dispatcher ----
  void TReadThread() {
    for (;;) {
      bool hungUp = false;
      {
        std::unique_lock lock(m_inputMutex);
        m_inputChanged.wait_for(lock, kReaderPeriod,
                                [this] { return m_inputSignalled || m_stop.load(); });
        hungUp = m_hungUp;
      }
      if (m_stop.load()) {
        return;
      }
      for (;;) {
        std::vector<std::uint8_t> chunk(kChunkSize);
        const ISerialDevice::TTransfer read = m_device->Read(chunk);
        if (read.Failed) {
          Fail(link_texts::kReadError);
          return;
        }
        if (read.Count == 0) {
          break;
        }
        chunk.resize(read.Count);
        {
          std::lock_guard lock(m_chunkMutex);
          m_received += chunk.size();
          m_chunks.push_back(std::move(chunk));
          m_chunkArrived = true;
        }
        m_chunkChanged.notify_all();
      }
      if (hungUp) {
        Fail(link_texts::kReadError);
        return;
      }
      {
        std::lock_guard lock(m_inputMutex);
        m_inputSignalled = false;
      }
      m_inputChanged.notify_all();
    }
  }

  // ---- TWriteThread: writes the output buffer to the device ----
  void TWriteThread() {
    for (;;) {
      std::vector<std::uint8_t> block;
      {
        std::unique_lock lock(m_outputMutex);
        m_outputChanged.wait_for(lock, kWriterPeriod, [this] {
          return m_outputCount > 0 || m_flushRequested || m_stop.load();
        });
        if (m_flushRequested) {
          m_flushRequested = false;
          m_flushAcknowledged = true;
          m_outputChanged.notify_all();
          continue;
        }
        if (m_stop.load()) {
          return;
        }
        for (std::size_t i = 0; i < m_outputCount; ++i) {
          block.push_back(m_output[(m_outputStart + i) % m_output.size()]);
        }
        m_outputStart = 0;
        m_outputCount = 0;
      }
      if (!WriteBlock(block)) {
        return;
      }
    }
  }

  // Writes the whole block unless a flush or the stop comes first; false after a failure.
  bool WriteBlock(ByteView block) {
    while (!block.empty()) {
      const ISerialDevice::TTransfer written = m_device->Write(block);
      if (written.Failed) {
        Fail(link_texts::kWriteError);
        return false;
      }
      block = block.subspan(written.Count);
      if (block.empty()) {
        break;
      }
      const ISerialDevice::TWait wait = m_device->WaitForOutput(kWriterPeriod);
      if (wait == ISerialDevice::TWait::HungUp) {
        Fail(link_texts::kWriteError);
        return false;
      }
      std::lock_guard lock(m_outputMutex);
      if (m_flushRequested || m_stop.load()) {
        break;
      }
    }
    return true;
  }

  // ---- TDispThread: moves chunks into the receive buffer and raises notifications ----
  void TDispThread() {
    while (!m_stop.load()) {
      {
        // A new chunk wakes it at once. Chunks that wait for room in a full receive buffer are
        // tried again every period, when the handler may have taken bytes.
        std::unique_lock lock(m_chunkMutex);
        m_chunkChanged.wait_for(lock, kDispatcherPeriod,
                                [this] { return m_chunkArrived || m_stop.load(); });
        m_chunkArrived = false;
      }
      for (;;) {
        MoveChunks();
        const std::shared_ptr<TNotification> notification = StartNotification();
        if (!notification) {
          break;
        }
        notification->WaitFinished(kHandOverLimit);
        // Everything taken: more may already wait in the chunk queue, so look again at once.
        if (!CommitNotification()) {
          break;
        }
      }
    }
  }

  void MoveChunks() {
    std::lock_guard chunkLock(m_chunkMutex);
    std::lock_guard lock(m_receiveMutex);
    m_arrived = m_received;
    while (!m_chunks.empty() && !m_full) {
      const std::vector<std::uint8_t>& chunk = m_chunks.front();
      while (m_chunkOffset < chunk.size() && !m_full) {
        m_receive[m_writePos] = chunk[m_chunkOffset++];
        m_writePos = (m_writePos + 1) % kReceiveSize;
        ++m_moved;
        m_full = m_writePos == m_readPos;
      }
      if (m_chunkOffset == chunk.size()) {
        m_chunks.pop_front();
        m_chunkOffset = 0;
      }
    }
  }

  // Posts a notification when bytes arrived since the last one and enough are unread.
  std::shared_ptr<TNotification> StartNotification() {
    std::lock_guard control(m_controlMutex);
    if (m_stop) {
      return nullptr;
    }
    std::lock_guard lock(m_receiveMutex);
    const std::size_t unread = Unread();
    const bool news = m_moved != m_movedAtNotification || m_arrived != m_arrivedAtNotification;
    if (!news || unread < m_triggerLength) {
      return nullptr;
    }
    m_movedAtNotification = m_moved;
    m_arrivedAtNotification = m_arrived;
    m_inProgress = true;
    m_taken = 0;
    m_notifiedCount = unread;
    m_pending = std::make_shared<TNotification>(static_cast<std::uint16_t>(unread));
    m_mainThread.Post([target = m_target, notification = m_pending] {
      if (target->Link != nullptr) {
        target->Link->RunNotification(notification);
      } else {
        notification->Finish();
      }
    });
    {
      std::lock_guard life(m_lifeMutex);
      m_posted = true;
    }
    m_lifeChanged.notify_all();
    return m_pending;
  }

  // Ends the notification: the taken bytes become read. True when all of them were taken.
  bool CommitNotification() {
    std::lock_guard control(m_controlMutex);
    m_pending.reset();
    std::lock_guard lock(m_receiveMutex);
    m_readPos = (m_readPos + m_taken) % kReceiveSize;
    if (m_taken > 0) {
      m_full = false;
    }
    const bool allTaken = m_taken == m_notifiedCount;
    m_inProgress = false;
    m_taken = 0;
    return allTaken && !m_stop;
  }

  std::size_t Unread() const {
    return m_full ? kReceiveSize : (m_writePos + kReceiveSize - m_readPos) % kReceiveSize;
  }

  std::unique_ptr<ISerialDevice> m_device;
  const std::size_t m_triggerLength;
  IMainThreadQueue& m_mainThread;
  const std::shared_ptr<TTarget> m_target;

  // Control lock: setting the stop flag and the notification in progress. The flag is read
  // anywhere; it only ever turns true, and WakeAll then notifies every wait under its own lock.
  std::mutex m_controlMutex;
  std::atomic<bool> m_stop{false};
  std::shared_ptr<TNotification> m_pending;

  // Receive lock: the receive buffer.
  std::mutex m_receiveMutex;
  std::vector<std::uint8_t> m_receive;
  std::size_t m_readPos = 0;
  std::size_t m_writePos = 0;
  bool m_full = false;
  bool m_inProgress = false;
  std::size_t m_taken = 0;
  std::size_t m_notifiedCount = 0;
  // A notification needs news since the previous one: bytes moved into the buffer, or bytes
  // received at all (counted at the last move). The second makes a byte that arrives while a
  // handler leaves the buffer full still bring a notification; taking the bytes then makes room
  // for the rest.
  std::uint64_t m_moved = 0;
  std::uint64_t m_movedAtNotification = 0;
  std::uint64_t m_arrived = 0;
  std::uint64_t m_arrivedAtNotification = 0;

  // The chunk queue, with the part of its head already moved into the receive buffer.
  std::mutex m_chunkMutex;
  std::condition_variable m_chunkChanged;
  std::deque<std::vector<std::uint8_t>> m_chunks;
  std::size_t m_chunkOffset = 0;
  bool m_chunkArrived = false;
  std::uint64_t m_received = 0;

  // The status thread's signal to the reader.
  std::mutex m_inputMutex;
  std::condition_variable m_inputChanged;
  bool m_inputSignalled = false;
  bool m_hungUp = false;

  // Output lock: the output buffer and the flush hand-shake.
  std::mutex m_outputMutex;
  std::condition_variable m_outputChanged;
  std::vector<std::uint8_t> m_output;
  std::size_t m_outputStart = 0;
  std::size_t m_outputCount = 0;
  bool m_flushRequested = false;
  bool m_flushAcknowledged = false;

  // The threads and their count.
  std::mutex m_lifeMutex;
  std::condition_variable m_lifeChanged;
  int m_started = 0;
  int m_running = 0;
  int m_launched = 0;
  bool m_posted = false;
  std::thread m_readThread;
  std::thread m_dispThread;
  std::thread m_writeThread;
  std::thread m_statusThread;
};

TSerialLink::TSerialLink(IMainThreadQueue& mainThread, TDeviceNamer deviceName)
    : m_mainThread(mainThread), m_deviceName(std::move(deviceName)) {}

TSerialLink::~TSerialLink() {
  if (m_target) {
    m_target->Link = nullptr;
  }
  // The session's destructor stops and joins the threads; no handler runs any more.
  m_session.reset();
}

void TSerialLink::SetEvents(TLinkEvents events) {
  m_events = std::move(events);
}

void TSerialLink::SetComNumber(std::uint16_t port) {
  m_comNumber = port;
}

void TSerialLink::SetLineSettings(const TLineSettings& settings) {
  m_settings = settings;
}

void TSerialLink::SetOnFailure(TFailureHandler handler) {
  m_onFailure = std::move(handler);
}

void TSerialLink::SetOpen(bool open) {
  if (m_closing || open == m_open) {
    return;
  }
  if (open) {
    DoOpen();
  } else {
    DoClose();
  }
}

void TSerialLink::DoOpen() {
  if (m_comNumber == 0) {
    throw TLinkError(link_texts::kBadId);
  }
  std::string name;
  try {
    name = m_deviceName(m_comNumber);
  } catch (const TLinkError&) {
    throw;
  } catch (const std::exception& error) {
    throw TLinkError(error.what());
  }
  std::unique_ptr<ISerialDevice> device = OpenSerialDevice(name, m_settings);
  m_target = std::make_shared<TTarget>();
  m_target->Link = this;
  m_session = std::make_unique<TSession>(std::move(device), m_settings, m_mainThread, m_target);
  try {
    m_session->StartThreads();
    m_open = true;
    if (m_events.OnPortOpen) {
      m_events.OnPortOpen();
    }
  } catch (...) {
    // Undone without OnPortClose; the handler's error comes out of the call.
    m_open = false;
    m_target->Link = nullptr;
    m_target.reset();
    m_session.reset();
    throw;
  }
}

void TSerialLink::DoClose() {
  m_closing = true;
  m_session->DiscardOutput();
  m_session->DiscardInput();
  // Releases the dispatcher even when it waits for the very handler that is closing now.
  m_session->RequestStop();
  // Handlers keep running while the threads end: timer ticks, a notification already on its
  // way. The first error one of them raises comes out of the call once the close is done and
  // OnPortClose has run.
  std::exception_ptr handlerError;
  for (;;) {
    try {
      m_mainThread.ProcessPending();
    } catch (...) {
      if (!handlerError) {
        handlerError = std::current_exception();
      }
    }
    if (m_session->WaitThreadsEnded(kCloseRound)) {
      break;
    }
  }
  m_session.reset();
  m_target->Link = nullptr;
  m_target.reset();
  m_closing = false;
  m_open = false;
  if (m_events.OnPortClose) {
    m_events.OnPortClose();
  }
  if (handlerError) {
    std::rethrow_exception(handlerError);
  }
}

bool TSerialLink::CharReady() {
  if (m_closing) {
    return false;
  }
  if (!m_open) {
    throw TLinkError(link_texts::kNotOpen);
  }
  return m_session->CharReady();
}

std::uint8_t TSerialLink::GetChar() {
  if (m_closing) {
    return 0;
  }
  if (!m_open) {
    throw TLinkError(link_texts::kNotOpen);
  }
  return m_session->GetChar();
}

void TSerialLink::PutString(ByteView data) {
  if (m_closing) {
    return;
  }
  if (!m_open) {
    throw TLinkError(link_texts::kNotOpen);
  }
  if (!data.empty()) {
    m_session->PutString(data);
  }
}

void TSerialLink::RunNotification(const std::shared_ptr<TNotification>& notification) {
  // However the handler ends, the dispatcher's wait is over.
  struct TFinish {
    TNotification& Notification;
    ~TFinish() { Notification.Finish(); }
  } finish{*notification};
  if (m_events.OnTriggerAvail) {
    m_events.OnTriggerAvail(notification->Count());
  }
}

void TSerialLink::ReportFailure(const std::string& text) {
  if (m_onFailure) {
    m_onFailure(text);
  }
}

}  // namespace ethconf
