#include "FolderRenames.h"

#include <sys/inotify.h>
#include <unistd.h>

CFolderRenames::CFolderRenames(const std::filesystem::path &folder) : m_nWatch(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_nWatch >= 0 && inotify_add_watch(m_nWatch, folder.c_str(), IN_MOVED_FROM) < 0) {
        close(m_nWatch);
        m_nWatch = -1;
    }
}

CFolderRenames::~CFolderRenames()
{
    if (m_nWatch >= 0)
        close(m_nWatch);
}

// Each rename moves a temporary file of its own name, so the kernel cannot merge the events.
std::optional<int> CFolderRenames::Count()
{
    if (m_nWatch < 0)
        return std::nullopt;
    alignas(inotify_event) char events[4096];
    const ssize_t size = read(m_nWatch, events, sizeof events);
    int renames = 0;
    for (ssize_t at = 0; at < size; at += sizeof(inotify_event) + reinterpret_cast<inotify_event *>(events + at)->len)
        ++renames;
    return renames;
}
