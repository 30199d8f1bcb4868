#pragma once

#include <string>

// Accessor of one settings file: each operation is one call of the profile functions on that file.
class TIniFile {
public:
    explicit TIniFile(std::string filePath) : path(std::move(filePath)) {}

    const std::string& fileName() const { return path; }

    std::string readText(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
    int readInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool readFlag(const std::string& section, const std::string& key, bool defaultValue) const;

    // Each write throws VelmoError("Impossible d'écrire dans <path>") when the file cannot be
    // written.
    void writeText(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeFlag(const std::string& section, const std::string& key, bool value);

private:
    std::string path;
};
