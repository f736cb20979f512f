// CFuzzScratch: the one scratch folder of a fuzz process, with the portable backend's folders pointed into
// it.
#pragma once

#include <string>

class CFuzzScratch
{
public:
    // The process's scratch folder (made on first use, in memory where the system offers it, removed at
    // exit); the temporary, application-data and Windows folders of the backend point into it.
    static const CFuzzScratch& Get();

    // The folder in Windows form (backslashes), without a trailing backslash.
    const std::string& Root() const { return m_root; }
    std::string operator/(const std::string& name) const { return m_root + "\\" + name; }

    // Writes a file below the scratch folder (folders made on the way); false when it could not.
    static bool WriteFile(const std::string& path, const std::string& bytes);
    // Empties the scratch folder and the in-memory registry for the next input.
    void Reset() const;
    // Empties the registry only, for targets that write no file.
    void ResetRegistry() const;

private:
    CFuzzScratch();
    std::string m_root;
};

// Stops the process loudly: a broken invariant is a finding, like a crash.
[[noreturn]] void FuzzFail(const char* what);
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            FuzzFail(#condition);                                                                            \
    } while (0)
