#pragma once
// A stand-in for the local VPN client's status service: a TCP listener on
// 127.0.0.1 (port 8000 unless told otherwise) whose answers a test scripts,
// recording every message it receives and every reply it sends, with times.
//
// Messages are the NUL-terminated texts the control sends ("state",
// "pageOff"). Each "state" is answered by the next scripted step, or by the
// default step when the script is used up; other messages are only recorded.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vorlane::tests {

using SteadyTime = std::chrono::steady_clock::time_point;

class LocalClientSimulator {
 public:
  // How to answer one "state": each piece is sent on its own after waiting
  // `delay`; no pieces means silence; `closeAfter` ends the connection.
  struct Step {
    std::vector<std::string> pieces;
    std::chrono::milliseconds delay{0};
    bool closeAfter = false;
    bool resetAfter = false;  // ends the connection with a reset instead
  };
  static Step Reply(std::string text) { return {{std::move(text)}}; }
  static Step ReplyLate(std::string text, std::chrono::milliseconds delay) {
    return {{std::move(text)}, delay};
  }
  static Step ReplyInPieces(std::vector<std::string> pieces, std::chrono::milliseconds gap) {
    return {std::move(pieces), gap};
  }
  static Step Silent() { return {}; }
  static Step CloseConnection() { return {{}, {}, true}; }
  static Step ResetConnection() { return {{}, {}, false, true}; }

  // What every new connection meets before any "state" is answered.
  enum class Greeting {
    None,
    Close,  // closed at once
    Flood,  // floodBytes sent unasked, as fast as the peer takes them
  };
  void SetGreeting(Greeting greeting, std::size_t floodBytes = 0);
  // The flood's byte at `offset`: printable, so the page receives it as sent.
  static char FloodByte(std::size_t offset) { return static_cast<char>('A' + offset % 26); }

  struct Message {
    int connection;  // 1 for the first accepted connection
    std::string text;
    SteadyTime at;
  };
  struct SentReply {
    std::string bytes;
    SteadyTime at;  // just before the bytes were handed to the socket
  };

  explicit LocalClientSimulator(std::uint16_t port = 8000);
  ~LocalClientSimulator();
  LocalClientSimulator(const LocalClientSimulator&) = delete;
  LocalClientSimulator& operator=(const LocalClientSimulator&) = delete;

  // Starts listening; false when the port cannot be taken.
  bool Start();
  // Stops listening and closes every connection.
  void Stop();

  void SetDefault(Step step);
  void Script(std::vector<Step> steps);

  std::vector<Message> Received();
  std::vector<SentReply> Sent();
  // Hands over the messages received so far and forgets them and the replies
  // sent, so that a long run keeps its records small.
  std::vector<Message> TakeReceived();
  // Connections accepted since Start, also those that have ended.
  int Connections();
  // Waits until `count` messages have arrived or `limit` has passed.
  bool WaitForMessages(std::size_t count, std::chrono::milliseconds limit);

 private:
  // A connection and the thread that serves it.
  struct Server {
    std::uintptr_t connection;
    std::thread thread;
    bool ended = false;  // the peer has gone: thread finished, socket closed
  };

  void Accept();
  void Serve(Server* server, int index);
  // How a step left the connection.
  enum class Ending { Open, Closed, Reset };
  // Answers one "state".
  Ending Answer(std::uintptr_t connection);
  // Meets a new connection with the greeting; false when it has ended it.
  bool Greet(Server* server);
  // Joins the threads of connections whose peer has gone.
  void JoinEnded();

  std::uint16_t port_;
  std::uintptr_t listener_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  Step default_;
  std::deque<Step> script_;
  Greeting greeting_ = Greeting::None;
  std::size_t floodBytes_ = 0;
  std::vector<Message> received_;
  std::vector<SentReply> sent_;
  int accepted_ = 0;
  std::vector<std::unique_ptr<Server>> servers_;
  std::thread acceptor_;
  bool stopping_ = false;
};

// Where the fake client programs are built (updater, installer, VPN client
// program, sleeper), as a Windows path with a trailing backslash.
std::u16string FakeProgramsFolder();
// Environment variable naming the file that the fake programs append their
// command lines to (UTF-8, one line each); without it they write next to
// themselves, to "<program>.commands.txt".
constexpr char16_t kCommandRecordVariable[] = u"VORLANE_COMMAND_RECORD";

}  // namespace vorlane::tests
