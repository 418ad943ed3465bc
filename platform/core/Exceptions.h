#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <string>

namespace vorta {

// Base of every failure the suite raises; the message is the user-facing text.
class Exception : public std::exception {
public:
    explicit Exception(QString message);
    ~Exception() override;
    const QString& message() const { return m_message; }
    void setMessage(const QString& message);
    const char* what() const noexcept override { return m_utf8.c_str(); }
    // Name of the exception class as the suite names it ("EConvertError", ...).
    virtual const char* className() const { return "Exception"; }

private:
    QString m_message;
    std::string m_utf8;
};

#define VORTA_EXCEPTION_CLASS(Name, Base)                                   \
    class Name : public Base {                                              \
        using Inherited = Base;                                             \
    public:                                                                 \
        using Inherited::Inherited;                                         \
        const char* className() const override { return #Name; }            \
    };

// The silent exception: unwinds a handler without any dialog.
class EAbort : public Exception {
public:
    EAbort();
    const char* className() const override { return "EAbort"; }
};

VORTA_EXCEPTION_CLASS(EConvertError, Exception)
VORTA_EXCEPTION_CLASS(EStringListError, Exception)
VORTA_EXCEPTION_CLASS(EListError, Exception)
VORTA_EXCEPTION_CLASS(EPackageError, Exception)
VORTA_EXCEPTION_CLASS(EInOutError, Exception)
VORTA_EXCEPTION_CLASS(EOSError, Exception)
VORTA_EXCEPTION_CLASS(EInvalidOperation, Exception)
VORTA_EXCEPTION_CLASS(EComponentError, Exception)
VORTA_EXCEPTION_CLASS(ERangeError, Exception)
VORTA_EXCEPTION_CLASS(EFOpenError, Exception)
VORTA_EXCEPTION_CLASS(EAssertionFailed, Exception)
VORTA_EXCEPTION_CLASS(EIntOverflow, Exception)

// Raises the silent EAbort.
[[noreturn]] void Abort();

// Where an exception ends that no caller can take (a window procedure run from the
// event loop): the application installs its handler; without one it is written to
// the debug output. EAbort ends silently either way.
void handleStrayException(const std::exception& e);
void setStrayExceptionHandler(std::function<void(const std::exception&)> handler);

} // namespace vorta
