#pragma once

#include <string>

// The read-only view of the server's settings that the server host, the command
// handler and the HTTP API receive. Every string comes back as a fresh copy.
class IPreferences {
public:
    virtual ~IPreferences() = default;

    virtual std::wstring getName() const = 0;
    virtual std::wstring getVersion() const = 0;
    virtual int getSettingsVersion() const = 0;
    virtual std::wstring getPlayerLocation() const = 0;
    virtual int getPort() const = 0;
    virtual bool useCustomPlaylist() const = 0;
    virtual std::wstring getPlaylist() const = 0;
    virtual std::wstring getTvGuide() const = 0;
    virtual std::wstring getPlayerFolder() const = 0;
    virtual std::wstring getPlayerDataFolder() const = 0;
    virtual std::wstring getUserIniFileName() const = 0;
    virtual std::wstring getPlaylistFileName() const = 0;
};
