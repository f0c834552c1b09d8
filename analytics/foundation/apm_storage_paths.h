#pragma once

#include <string>

#include "analytics/monitor/apm_error_additions.h"

namespace analytics {

// The library's files: preferences suites under Library/Preferences, its own files under
// Application Support/Vuziri/Measurement. Every path function answers "" for an empty name.
std::string APMPreferencesPlistPath(const std::string& name);
std::string APMMeasurementDirectoryFilePath(const std::string& name);
// As APMMeasurementDirectoryFilePath, with ".plist" added unless the name already ends in it.
std::string APMMeasurementDirectoryPlistPath(const std::string& name);

bool APMDeleteFileAtPath(const std::string& path, APMErrorOut error);
// Moves a file, creating the destination's folder. A missing source is nothing to move (true); an
// existing destination without `overwrite` stays, and the source is deleted instead.
bool APMMoveFileAtPath(const std::string& sourcePath, const std::string& destinationPath, bool overwrite);

// Moves a suite's preferences file into the library's folder and forgets the suite's domain.
bool APMMoveSuitePlistToMeasurementDirectory(const std::string& suiteName);
// Moves it back and puts its values into the suite again.
bool APMMoveSuitePlistBackToPreferences(const std::string& suiteName);

}  // namespace analytics
