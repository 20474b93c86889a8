// The standard library's containers report misuse through a handful of throw
// helpers. The runtime's own versions build std::logic_error and friends, whose
// reference-counted string and everything behind it (random_device among them)
// are about a fifth of the exe. Defining the helpers here, in an object linked
// directly into the exe, keeps all that out of the link. They still throw a
// std::exception carrying the helper's message, so the window procedure's
// exception barrier reports them as before.
#include <exception>
#include <new>

namespace {
class RuntimeFault : public std::exception {
public:
    explicit RuntimeFault(const char* pszWhat) noexcept : m_pszWhat(pszWhat ? pszWhat : "runtime fault") {}
    const char* what() const noexcept override { return m_pszWhat; }

private:
    const char* m_pszWhat;
};
}  // namespace

namespace std {
[[noreturn]] void __throw_bad_alloc();
[[noreturn]] void __throw_bad_array_new_length();
[[noreturn]] void __throw_length_error(const char* pszWhat);
[[noreturn]] void __throw_logic_error(const char* pszWhat);
[[noreturn]] void __throw_out_of_range_fmt(const char* pszFormat, ...);

void __throw_bad_alloc() { throw std::bad_alloc(); }
void __throw_bad_array_new_length() { throw std::bad_array_new_length(); }
void __throw_length_error(const char* pszWhat) { throw RuntimeFault(pszWhat); }
void __throw_logic_error(const char* pszWhat) { throw RuntimeFault(pszWhat); }
// The format's arguments (positions, sizes) are left out: the barrier's trace
// needs only which check failed.
void __throw_out_of_range_fmt(const char* pszFormat, ...) { throw RuntimeFault(pszFormat); }
}  // namespace std
