// An unprivileged user made for one test and removed after it, to try the tool
// as another user of the machine would. Only root can make one; elsewhere
// made() is false and the test skips, saying so on a line of its own.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

namespace quillora::testing {

class OtherUser {
public:
    OtherUser();
    ~OtherUser();
    OtherUser(const OtherUser&) = delete;
    OtherUser& operator=(const OtherUser&) = delete;

    bool made() const { return uid_ != 0; }
    uid_t uid() const { return uid_; }
    gid_t gid() const { return gid_; }
    // For TempLibrary::runAs.
    std::string ids() const { return std::to_string(uid_) + ":" + std::to_string(gid_); }
    // Runs body in a child process as this user: body's result (0-255), or -1
    // when the child could not become the user or died.
    int run(const std::function<int()>& body) const;
    // The same, without waiting: the child's process id (or -1).
    pid_t start(const std::function<int()>& body) const;
    // Gives path, and everything in it, to this user.
    void own(const std::string& path) const;

private:
    std::string name_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
};

} // namespace quillora::testing

#define SKIP_WITHOUT_OTHER_USER(user)                                                              \
    if (!(user).made())                                                                            \
    GTEST_SKIP() << "skipped: only root can make the other user this test needs"
