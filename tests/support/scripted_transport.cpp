#include "tests/support/scripted_transport.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace lp::testing {
namespace {

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    switch (c) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case '0': out += '\0'; break;
      case 'x':
        if (i + 2 < text.size()) {
          out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
          i += 2;
        }
        break;
      default: out += c; break;
    }
  }
  return out;
}

std::string Printable(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out.size() > 200 ? out.substr(0, 200) + "..." : out;
}

}  // namespace

ScriptedTransport::ScriptedTransport(std::string_view script, std::size_t piece_size) : piece_size_(piece_size) {
  int number = 0;
  while (!script.empty()) {
    const std::size_t end = script.find('\n');
    std::string_view line = script.substr(0, end);
    script = end == std::string_view::npos ? std::string_view() : script.substr(end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    auto rest = [&line](std::size_t from) {
      std::string_view text = line.substr(std::min(from, line.size()));
      if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
      return Unescape(text);
    };
    if (line.empty() || line.front() == '#') continue;
    if (line.rfind("S-:", 0) == 0) {
      steps_.push_back({Kind::Server, rest(3), number});
    } else if (line.rfind("S:", 0) == 0) {
      steps_.push_back({Kind::Server, rest(2) + "\r\n", number});
    } else if (line.rfind("C:", 0) == 0) {
      steps_.push_back({Kind::Client, rest(2) + "\r\n", number});
    } else if (line == "--") {
      steps_.push_back({Kind::Boundary, {}, number});
    } else if (line.rfind("STARTTLS", 0) == 0) {
      steps_.push_back({Kind::StartTls, {}, number});
    } else if (line.rfind("CLOSE", 0) == 0) {
      steps_.push_back({Kind::Close, rest(5), number});
    } else if (line.rfind("REFUSE", 0) == 0) {
      steps_.push_back({Kind::Refuse, rest(6), number});
    } else if (line.rfind("SENDFAIL", 0) == 0) {
      steps_.push_back({Kind::SendFail, {}, number});
    } else if (line == "IDLE") {
      steps_.push_back({Kind::Idle, {}, number});
    } else if (line == "PAUSE") {
      steps_.push_back({Kind::Pause, {}, number});
    } else {
      failures_.push_back("script line " + std::to_string(number) + " not understood: " + std::string(line));
    }
  }
}

std::string ScriptedTransport::LoadScript(const std::string& native_path) {
  std::ifstream in(native_path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void ScriptedTransport::Connect(const TransportEndpoint& endpoint, TransportEvents& events) {
  endpoint_ = endpoint;
  events_ = &events;
}

bool ScriptedTransport::Send(std::string_view bytes) {
  if (closed_) return false;
  if (fail_next_send_) {
    fail_next_send_ = false;
    return false;
  }
  pending_sent_.append(bytes);
  all_sent_.append(bytes);
  if (hold_writes_) {
    queued_ += bytes.size();
    largest_queue_ = std::max(largest_queue_, queued_);
  }
  return true;
}

void ScriptedTransport::StartTls() { tls_requested_ = true; }

void ScriptedTransport::Close() { closed_ = true; }

void ScriptedTransport::SetIdleTimerPaused(bool paused) {
  if (pausable_) idle_paused_ = paused;
}

void ScriptedTransport::Fail(const Step& step, const std::string& what) {
  failures_.push_back("script line " + std::to_string(step.line) + ": " + what);
}

void ScriptedTransport::Deliver(const std::string& piece) {
  const std::size_t size = piece_size_ == 0 ? piece.size() : piece_size_;
  for (std::size_t at = 0; at < piece.size() && !closed_; at += size) {
    events_->OnReceived(std::string_view(piece).substr(at, size));
  }
}

void ScriptedTransport::Run() {
  if (events_ == nullptr) {
    failures_.push_back("the session never connected");
    return;
  }
  std::size_t index = next_step_;
  if (!started_) {
    started_ = true;
    if (!steps_.empty() && steps_.front().kind == Kind::Refuse) {
      events_->OnDisconnected(steps_.front().text);
      index = 1;
    } else {
      events_->OnConnected();
    }
  }
  std::string piece;
  auto flush = [&] {
    if (!piece.empty()) Deliver(piece);
    piece.clear();
  };
  for (; index < steps_.size(); ++index) {
    const Step& step = steps_[index];
    if (step.kind != Kind::Server) flush();
    if (closed_) {
      Fail(step, "the client closed the connection before this step");
      return;
    }
    switch (step.kind) {
      case Kind::Server:
        piece += step.text;
        break;
      case Kind::Boundary:
        break;
      case Kind::Client:
        // The server reads what the client queued; the client hears there is room.
        while (pending_sent_.size() < step.text.size() && queued_ > 0 && !closed_) {
          queued_ = 0;
          ++written_events_;
          events_->OnWritten();
        }
        if (pending_sent_.compare(0, step.text.size(), step.text) != 0) {
          Fail(step, "expected C: " + Printable(step.text) + " but the client sent: " + Printable(pending_sent_));
          return;
        }
        pending_sent_.erase(0, step.text.size());
        break;
      case Kind::StartTls:
        if (!tls_requested_) {
          Fail(step, "the client did not ask for TLS");
          return;
        }
        if (!pending_sent_.empty()) Fail(step, "sent in clear before TLS: " + Printable(pending_sent_));
        events_->OnTlsStarted();
        break;
      case Kind::Close:
        closed_ = true;
        events_->OnDisconnected(step.text);
        break;
      case Kind::Refuse:
        Fail(step, "REFUSE must be the first step");
        break;
      case Kind::SendFail:
        fail_next_send_ = true;
        break;
      case Kind::Idle:
        if (!idle_paused_) {
          closed_ = true;
          events_->OnDisconnected("idle timeout");
        }
        break;
      case Kind::Pause:
        next_step_ = index + 1;
        return;
    }
  }
  next_step_ = steps_.size();
  flush();
  if (!pending_sent_.empty()) failures_.push_back("the client sent more: " + Printable(pending_sent_));
  if (!closed_) failures_.push_back("the client left the connection open at the end of the script");
}

}  // namespace lp::testing
