// Status and Result: the engine reports every failure as a value, never by
// throwing. A Status carries a code callers can branch on and a message that
// names the file and what is wrong, ready to show to a person.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace xb {

enum class Code {
  kOk = 0,
  kNotFound,         // file, field, tag or record that does not exist
  kCorrupt,          // a file whose bytes break the format
  kIOError,          // the operating system refused a read, write or sync
  kInvalidArgument,  // a value or request the engine cannot honour
  kBusy,             // a lock held by another user (try again later)
  kReadOnly,         // a write on a table opened read-only
  kExists,           // creating something that is already there
  kNotSupported,     // a format feature this engine does not handle
};

class Status {
 public:
  Status() = default;
  static Status OK() { return Status(); }
  static Status NotFound(std::string m) { return Status(Code::kNotFound, std::move(m)); }
  static Status Corrupt(std::string m) { return Status(Code::kCorrupt, std::move(m)); }
  static Status IOError(std::string m) { return Status(Code::kIOError, std::move(m)); }
  static Status InvalidArgument(std::string m) {
    return Status(Code::kInvalidArgument, std::move(m));
  }
  static Status Busy(std::string m) { return Status(Code::kBusy, std::move(m)); }
  static Status ReadOnly(std::string m) { return Status(Code::kReadOnly, std::move(m)); }
  static Status Exists(std::string m) { return Status(Code::kExists, std::move(m)); }
  static Status NotSupported(std::string m) { return Status(Code::kNotSupported, std::move(m)); }

  bool ok() const { return code_ == Code::kOk; }
  Code code() const { return code_; }
  bool IsNotFound() const { return code_ == Code::kNotFound; }
  bool IsCorrupt() const { return code_ == Code::kCorrupt; }
  bool IsBusy() const { return code_ == Code::kBusy; }
  const std::string& message() const { return message_; }
  std::string ToString() const;

  // Returns a copy whose message is prefixed with `context` (e.g. a file name).
  Status With(const std::string& context) const;

 private:
  Status(Code c, std::string m) : code_(c), message_(std::move(m)) {}
  Code code_ = Code::kOk;
  std::string message_;
};

// A value or the Status explaining why there is none.
template <class T>
class Result {
 public:
  Result(T v) : value_(std::move(v)) {}  // NOLINT: implicit by design
  Result(Status s) : status_(std::move(s)) {}  // NOLINT
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() { return *value_; }

 private:
  Status status_;
  std::optional<T> value_;
};

}  // namespace xb

#define XB_RETURN_IF_ERROR(expr)         \
  do {                                   \
    ::xb::Status _st = (expr);           \
    if (!_st.ok()) return _st;           \
  } while (0)
