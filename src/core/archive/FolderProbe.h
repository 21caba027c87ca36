#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Looks at folders that may lie on a mount that no longer answers (a network
// share gone away): a stat() there can block for minutes. Each look runs on a
// thread of its own and the caller waits a short time at most; a look that
// does not answer is left blocked, and until it returns its folder counts as
// not available without being looked at again.
namespace FolderProbe {

// How long the window waits for a folder before calling it not available.
constexpr int kLimitMs = 500;

// Runs `look` off the calling thread; true when it ended within the limit.
// False at once while an earlier look at `folder` has not returned.
// `look` must own what it touches: it may outlive this call.
bool answered(const QString &folder, std::function<void()> look);

// What `look` returned, or nothing when `folder` did not answer in time.
template <typename T>
std::optional<T> lookAt(const QString &folder, std::function<T()> look)
{
    auto result = std::make_shared<std::optional<T>>();
    if (!answered(folder, [result, look = std::move(look)] { *result = look(); }))
        return std::nullopt;
    return *result;
}

// Whether a plain file is at `path` / a folder is at `path`; nothing when its folder does not answer.
std::optional<bool> isFile(const QString &path);
std::optional<bool> isFolder(const QString &path);

// Tests make a folder stop answering here: the hook runs before each look, on
// the look's own thread, with the folder looked at. An empty hook removes it.
void setLookHook(std::function<void(const QString &folder)> hook);

} // namespace FolderProbe
