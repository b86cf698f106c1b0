// The registry as the tests use it: a scratch key per test, the product key kept aside
// while a test runs, and reading and writing single values.
#ifndef TILO_TESTS_SUPPORT_REGISTRY_H
#define TILO_TESTS_SUPPORT_REGISTRY_H

#include <windows.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

// A key under HKCU\Software\TiloTest named after the running test, deleted on both
// ends so every test starts from nothing.
class ScratchKey {
public:
    ScratchKey();
    ~ScratchKey();
    const std::string& path() const { return path_; }
    bool exists(HKEY hive = HKEY_CURRENT_USER) const;

private:
    std::string path_;
};

// Saves the product key's values and gives the test a key that holds only the mark of a
// measured fast machine ("disable_frame_warn" = 1), so that the saver does not measure
// its frame rate unless a test clears the mark; puts the saved values back after.
class ProductKeyBackup {
public:
    ProductKeyBackup();
    ~ProductKeyBackup();

private:
    std::vector<std::pair<std::string, DWORD>> values_;
};

// One value, or its absence, kept while a test changes it and put back after.
class SavedValue {
public:
    SavedValue(HKEY hive, const char* path, const char* name);
    ~SavedValue();
    SavedValue(const SavedValue&) = delete;
    SavedValue& operator=(const SavedValue&) = delete;

private:
    HKEY hive_;
    std::string path_, name_;
    bool existed_ = false;
    std::vector<BYTE> data_;
    DWORD type_ = 0;
};

// The rights to change a key: set its values, make subkeys and links, delete it. What an
// account that is not an administrator lacks on the machine's keys and the classes root.
constexpr REGSAM kKeyWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE;

// Gives an existing key a DACL that denies everyone the rights given and allows the rest,
// while a test runs; puts the key's own DACL back after. inForce() tells whether this
// process is held to it (the key opens for the rest but not for the denied rights): a
// test that relies on the denial asserts it, so that it cannot pass without it.
class DeniedRights {
public:
    DeniedRights(HKEY hive, const char* path, REGSAM denied);
    ~DeniedRights();
    DeniedRights(const DeniedRights&) = delete;
    DeniedRights& operator=(const DeniedRights&) = delete;
    bool inForce() const;

private:
    HKEY hive_;
    std::string path_;
    REGSAM denied_;
    HKEY key_ = nullptr;  // opened to change its DACL before the change
    std::vector<BYTE> saved_;
    bool set_ = false;
};

void DeleteTree(HKEY hive, const char* path);
bool SetDword(HKEY hive, const char* path, const char* name, DWORD value);
bool SetString(HKEY hive, const char* path, const char* name, const std::string& value);
bool KeyExists(HKEY hive, const char* path);
// name null: the key's default value.
bool ValueExists(HKEY hive, const char* path, const char* name);
bool SetBinary(HKEY hive, const char* path, const char* name, const void* data, DWORD size, DWORD type);
bool GetDword(HKEY hive, const char* path, const char* name, DWORD* value);
// The product key's 32-bit value in the current user's hive, or the fallback.
DWORD StoredDword(const char* name, DWORD fallback = 0);
bool GetString(HKEY hive, const char* path, const char* name, std::string* value);
// Every value of a key, by name: its type and data (none for a missing key).
using KeyValues = std::map<std::string, std::pair<DWORD, std::vector<BYTE>>>;
KeyValues ValuesOf(HKEY hive, const char* path);
// Raw data and its type, for checking what was stored byte for byte.
bool GetRaw(HKEY hive, const char* path, const char* name, std::vector<BYTE>* data, DWORD* type);
std::string KeyClass(HKEY hive, const char* path);

// "Suite.Test" of the running test, usable in a key or file name.
std::string TestName();

#endif
