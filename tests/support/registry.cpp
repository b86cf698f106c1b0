#include "support/registry.h"

#include <gtest/gtest.h>

#include <sddl.h>
#include <stdio.h>
#include <string.h>

#include "support/settings_store.h"

namespace {

std::string Sanitize(std::string s)
{
    for (char& c : s)
        if (c == '/' || c == '\\') c = '_';
    return s;
}

}  // namespace

std::string TestName()
{
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!info) return "NoTest";
    return Sanitize(std::string(info->test_suite_name()) + "." + info->name());
}

void DeleteTree(HKEY hive, const char* path)
{
    RegDeleteTreeA(hive, path);
    RegDeleteKeyA(hive, path);
}

ScratchKey::ScratchKey() : path_("Software\\TiloTest\\" + TestName())
{
    DeleteTree(HKEY_CURRENT_USER, path_.c_str());
    DeleteTree(HKEY_LOCAL_MACHINE, path_.c_str());
    DeleteTree(HKEY_CLASSES_ROOT, path_.c_str());
}

ScratchKey::~ScratchKey()
{
    DeleteTree(HKEY_CURRENT_USER, path_.c_str());
    DeleteTree(HKEY_LOCAL_MACHINE, path_.c_str());
    DeleteTree(HKEY_CLASSES_ROOT, path_.c_str());
}

bool ScratchKey::exists(HKEY hive) const { return KeyExists(hive, path_.c_str()); }

bool SetDword(HKEY hive, const char* path, const char* name, DWORD value)
{
    return RegSetKeyValueA(hive, path, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

bool SetString(HKEY hive, const char* path, const char* name, const std::string& value)
{
    return SetBinary(hive, path, name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_SZ);
}

bool KeyExists(HKEY hive, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool ValueExists(HKEY hive, const char* path, const char* name)
{
    std::vector<BYTE> data;
    DWORD type = 0;
    return GetRaw(hive, path, name, &data, &type);
}

bool SetBinary(HKEY hive, const char* path, const char* name, const void* data, DWORD size, DWORD type)
{
    return RegSetKeyValueA(hive, path, name, type, data, size) == ERROR_SUCCESS;
}

bool GetRaw(HKEY hive, const char* path, const char* name, std::vector<BYTE>* data, DWORD* type)
{
    HKEY key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        data->assign(size, 0);
        rc = RegQueryValueExA(key, name, nullptr, type, data->data(), &size);
        data->resize(size);
    }
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool GetDword(HKEY hive, const char* path, const char* name, DWORD* value)
{
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!GetRaw(hive, path, name, &data, &type) || data.size() != 4) return false;
    memcpy(value, data.data(), 4);
    return true;
}

DWORD StoredDword(const char* name, DWORD fallback)
{
    DWORD value = fallback;
    return GetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, name, &value) ? value : fallback;
}

bool GetString(HKEY hive, const char* path, const char* name, std::string* value)
{
    std::vector<BYTE> data;
    DWORD type = 0;
    if (!GetRaw(hive, path, name, &data, &type)) return false;
    value->assign(reinterpret_cast<const char*>(data.data()), data.size());
    while (!value->empty() && value->back() == '\0') value->pop_back();
    return true;
}

std::string KeyClass(HKEY hive, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char cls[256] = {};
    DWORD len = sizeof cls;
    LONG rc = RegQueryInfoKeyA(key, cls, &len, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(cls, len) : "<no class>";
}

KeyValues ValuesOf(HKEY hive, const char* path)
{
    KeyValues values;
    HKEY key;
    if (RegOpenKeyExA(hive, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameLen = sizeof name, type = 0, size = sizeof data;
        LONG rc = RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &size);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc == ERROR_SUCCESS) values[name] = {type, std::vector<BYTE>(data, data + size)};
    }
    RegCloseKey(key);
    return values;
}

ProductKeyBackup::ProductKeyBackup()
{
    for (const auto& [name, value] : ValuesOf(HKEY_CURRENT_USER, TILO_PRODUCT_KEY)) {
        DWORD number = 0;
        if (value.first != REG_DWORD || value.second.size() != sizeof number) continue;
        memcpy(&number, value.second.data(), sizeof number);
        values_.emplace_back(name, number);
    }
    DeleteTree(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);
    SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, "disable_frame_warn", 1);
}

ProductKeyBackup::~ProductKeyBackup()
{
    DeleteTree(HKEY_CURRENT_USER, TILO_PRODUCT_KEY);
    for (const auto& v : values_) SetDword(HKEY_CURRENT_USER, TILO_PRODUCT_KEY, v.first.c_str(), v.second);
}

SavedValue::SavedValue(HKEY hive, const char* path, const char* name) : hive_(hive), path_(path), name_(name)
{
    existed_ = GetRaw(hive, path, name, &data_, &type_);
}

SavedValue::~SavedValue()
{
    if (existed_)
        SetBinary(hive_, path_.c_str(), name_.c_str(), data_.data(), static_cast<DWORD>(data_.size()), type_);
    else
        RegDeleteKeyValueA(hive_, path_.c_str(), name_.c_str());
}

DeniedRights::DeniedRights(HKEY hive, const char* path, REGSAM denied)
    : hive_(hive), path_(path), denied_(denied)
{
    if (RegOpenKeyExA(hive, path, 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD size = 0;
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (size == 0 ||
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
        return;
    char sddl[64];
    snprintf(sddl, sizeof sddl, "D:(D;;0x%lx;;;WD)(A;;KA;;;WD)", static_cast<unsigned long>(denied));
    PSECURITY_DESCRIPTOR dacl = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &dacl, nullptr)) return;
    set_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, dacl) == ERROR_SUCCESS;
    LocalFree(dacl);
}

DeniedRights::~DeniedRights()
{
    if (set_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
    if (key_) RegCloseKey(key_);
}

bool DeniedRights::inForce() const
{
    if (!set_) return false;
    HKEY key;
    LONG deniedResult = RegOpenKeyExA(hive_, path_.c_str(), 0, denied_, &key);
    if (deniedResult == ERROR_SUCCESS) RegCloseKey(key);
    REGSAM rest = KEY_ALL_ACCESS & ~denied_;
    LONG restResult = RegOpenKeyExA(hive_, path_.c_str(), 0, rest, &key);
    if (restResult == ERROR_SUCCESS) RegCloseKey(key);
    return deniedResult == ERROR_ACCESS_DENIED && restResult == ERROR_SUCCESS;
}
