#pragma once

namespace analytics {

// Whether the system launched the app ahead of time ("ActivePrewarm" in the environment).
bool APMIsActivePrewarmLaunch();
// Whether the main bundle's information property list declares a scene manifest.
bool APMAppUsesSceneManifest();

}  // namespace analytics
