#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/timer_vocabulary.h"
#include "platform/foundation/ns_date.h"
#include "platform/foundation/ns_user_defaults.h"
#include "platform/uikit/drawing/ui_color.h"

namespace quorvel {

// Typed reads and writes of stored dates, lists, colours and strings beside the two save operations.
// A value of another kind than expected reads as none (or the empty list), never as an error.

std::optional<platform::NSDate> readStoredDate(const platform::NSUserDefaults& suite, const std::string& key);
std::optional<platform::NSDate> readLatestTimerStartedDate(const platform::NSUserDefaults& suite);
std::optional<platform::NSDate> readLastSessionChangeNotificationDate(const platform::NSUserDefaults& suite);
std::optional<platform::NSDate> readSessionCountPostingDate(const platform::NSUserDefaults& suite);

// "CheckDate": when the auto-reset was last checked.
std::optional<platform::NSDate> checkedDate(const platform::NSUserDefaults& suite);
// An absent date removes the key, as do the other date writers.
void setCheckedDate(platform::NSUserDefaults& suite, std::optional<platform::NSDate> date);
void writeSessionCountPostingDate(platform::NSUserDefaults& suite, std::optional<platform::NSDate> date);
void writeStoredDate(platform::NSUserDefaults& suite, std::optional<platform::NSDate> date,
                     const std::string& key);

// The empty list when the key is absent or holds anything but a list of strings.
std::vector<std::string> readScheduledSessionChangeNotificationIDs(const platform::NSUserDefaults& suite);

// Archived colours of the standard suite; null when missing, unreadable or not a colour.
std::shared_ptr<platform::UIColor> readFocusThemeColor();
std::shared_ptr<platform::UIColor> readShortBreakThemeColor();
std::shared_ptr<platform::UIColor> readLongBreakThemeColor();
std::shared_ptr<platform::UIColor> readThemeColor(const std::string& key);

// Archives the colour into the app-group suite when there is one; a null colour writes nothing.
void writeSharedFocusThemeColor(const std::shared_ptr<platform::UIColor>& color);
void writeSharedThemeColor(const std::shared_ptr<platform::UIColor>& color, const std::string& key);

// Stores the string in the standard suite, or removes the key when it is absent.
void writeOptionalString(const std::optional<std::string>& text, const std::string& key);

// The stored minutes of the session type; 0 when never written. Every reader of a length goes through it.
std::int64_t readSessionLength(SessionType type);
// The stored minutes of the session type times 60; 0 when never written.
std::int64_t sessionLengthInSeconds(SessionType type);

// Settings also read alone, where the whole record would read every key (the badge switch on every tick):
// the records read them through these too.
bool readTimerBadgeEnabled();
std::int64_t readLatestGoal();

}  // namespace quorvel
