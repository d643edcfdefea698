#include "platform/posix/OtherUser.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quillora::testing {

OtherUser::OtherUser() {
    if (::geteuid() != 0) {
        return;
    }
    std::random_device random; // tests running at once each get a name of their own
    name_ = "qtest" + std::to_string(random() % 100000000u);
    // useradd refuses while another holds /etc/passwd: other tests may be at it.
    const std::string add = "useradd --system --no-create-home --user-group --shell "
                            "/usr/sbin/nologin " +
                            name_ + " >/dev/null 2>&1";
    for (int attempt = 0; attempt < 50 && std::system(add.c_str()) != 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (const passwd* entry = ::getpwnam(name_.c_str())) {
        uid_ = entry->pw_uid;
        gid_ = entry->pw_gid;
    }
}

OtherUser::~OtherUser() {
    if (!made()) {
        return;
    }
    const std::string remove = "userdel " + name_ + " >/dev/null 2>&1";
    for (int attempt = 0; attempt < 50 && std::system(remove.c_str()) != 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void OtherUser::own(const std::string& path) const {
    namespace fs = std::filesystem;
    ::lchown(path.c_str(), uid_, gid_);
    if (fs::is_directory(fs::symlink_status(path))) {
        for (const auto& entry : fs::recursive_directory_iterator(path)) {
            ::lchown(entry.path().c_str(), uid_, gid_);
        }
    }
}

pid_t OtherUser::start(const std::function<int()>& body) const {
    pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0) {
            ::_exit(255);
        }
        ::_exit(body() & 0xff);
    }
    return child;
}

int OtherUser::run(const std::function<int()>& body) const {
    const pid_t child = start(body);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

} // namespace quillora::testing
