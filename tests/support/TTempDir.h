#pragma once
// A fresh directory for one test, removed with everything in it afterwards,
// and small file helpers.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

class TTempDir {
public:
    TTempDir()
    {
        std::string StgTemplate =
            (std::filesystem::temp_directory_path() / "pvx-test-XXXXXX").string();
        if (!mkdtemp(StgTemplate.data()))
            throw std::runtime_error("cannot create a temporary directory");
        MbrPath = StgTemplate;
    }
    ~TTempDir()
    {
        std::error_code Err;
        std::filesystem::remove_all(MbrPath, Err);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    std::string operator/(const std::string& StgName) const { return (MbrPath / StgName).string(); }
    const std::filesystem::path& Path() const { return MbrPath; }

    // Number of entries in the directory (to see stray temporary files).
    std::size_t EntryCount() const
    {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(MbrPath),
                                                      std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path MbrPath;
};

inline void WriteText(const std::string& StgName, const std::string& StgText)
{
    std::ofstream Stream(StgName, std::ios::binary);
    Stream << StgText;
}

inline std::string ReadText(const std::string& StgName)
{
    std::ifstream Stream(StgName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
}
