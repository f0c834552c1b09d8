#pragma once

namespace quorvel {

// The round and goal table's owner: while one is set, a counter reset the user picks there is applied.
class SessionResetable {
public:
    virtual ~SessionResetable() = default;
};

}  // namespace quorvel
