// The C library's locale switched for the life of the object, as QApplication
// switches it to the user's (LC_ALL, LANG) when it starts.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace qel {

// A locale that writes and reads one half as "0,5"; the test command
// generates it.
inline constexpr const char* kCommaLocale = "de_DE.UTF-8";

class UserLocale {
public:
    explicit UserLocale(std::string name) : name_(std::move(name)), before_(std::setlocale(LC_ALL, nullptr)) {
        set_ = std::setlocale(LC_ALL, name_.c_str()) != nullptr;
    }
    ~UserLocale() { std::setlocale(LC_ALL, before_.c_str()); }
    UserLocale(const UserLocale&) = delete;
    UserLocale& operator=(const UserLocale&) = delete;

    // A missing locale fails the test instead of letting it pass in "C".
    void assertSet() const { ASSERT_TRUE(set_) << "the locale " << name_ << " is missing (scripts/test.sh makes it)"; }

private:
    std::string name_, before_;
    bool set_ = false;
};

}  // namespace qel
