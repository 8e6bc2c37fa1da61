#pragma once
// Errors are values. A Status is either ok or carries a message for the user (UTF-8, Chinese where a
// user will read it) and, where one exists, the Windows result code that caused it. A Result<T> is a
// value or a failed Status. Nothing in core/ or platform/ throws across a function boundary.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace hivora {

class [[nodiscard]] Status {
public:
    Status() = default;  // ok

    static Status ok() { return Status(); }
    // A failure. `code` is a Windows result code (ERROR_ACCESS_DENIED, ...) or 0 when none applies;
    // a failure with code 0 still is a failure.
    static Status error(std::string message, std::int32_t code = 0) {
        Status s;
        s.m_failed = true;
        s.m_message = std::move(message);
        s.m_code = code;
        return s;
    }

    bool isOk() const { return !m_failed; }
    explicit operator bool() const { return isOk(); }
    const std::string& message() const { return m_message; }
    std::int32_t code() const { return m_code; }

    // Keeps the first failure: `s.update(next)` is how a sequence of steps gathers its outcome.
    void update(const Status& other) {
        if (isOk() && !other.isOk()) *this = other;
    }

private:
    bool m_failed = false;
    std::string m_message;
    std::int32_t m_code = 0;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}  // NOLINT: implicit on purpose
    Result(Status failure) : m_status(std::move(failure)) {
        if (m_status.isOk()) m_status = Status::error("internal: Result made from an ok Status");
    }

    bool isOk() const { return m_value.has_value(); }
    explicit operator bool() const { return isOk(); }
    const Status& status() const { return m_status; }
    // Precondition: isOk().
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    T valueOr(T fallback) const { return m_value ? *m_value : std::move(fallback); }

private:
    std::optional<T> m_value;
    Status m_status;
};

}  // namespace hivora
