#include "platform/desktop/MprisServer.h"

#include "platform/base/FailureLog.h"
#include "platform/loop/EventLoop.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

constexpr const char* kPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kName = "org.mpris.MediaPlayer2.quorvane";

MediaPlayer& player_of(void* userdata) {
    return *static_cast<MediaPlayer*>(userdata);
}

// A method that asks something of the player. A failure inside it ends it, reported as any
// handler's, and the caller hears of it as an error.
template <void (MediaPlayer::*Verb)()>
int call(sd_bus_message* message, void* userdata, sd_bus_error*) {
    std::string member = sd_bus_message_get_member(message);
    bool done = EventLoop::current().failures().guard([&] { return "media controls " + member; },
                                                      [&] { (player_of(userdata).*Verb)(); });
    if (!done)
        return sd_bus_reply_method_errorf(message, SD_BUS_ERROR_FAILED, "%s failed",
                                          member.c_str());
    return sd_bus_reply_method_return(message, "");
}

// A method the beach has no use for (it has one track, and no position): accepted, as the
// interface asks of a player that cannot do it, and nothing happens.
int ignore(sd_bus_message* message, void*, sd_bus_error*) {
    return sd_bus_reply_method_return(message, "");
}

int open_uri(sd_bus_message*, void*, sd_bus_error* error) {
    return sd_bus_error_set(error, SD_BUS_ERROR_NOT_SUPPORTED, "Quorvane opens no files");
}

int playback_status(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply,
                    void* userdata, sd_bus_error*) {
    bool playing = false;
    if (!EventLoop::current().failures().guard("media controls PlaybackStatus",
                                               [&] { playing = player_of(userdata).playing(); }))
        return -EIO;
    return sd_bus_message_append(reply, "s", playing ? "Playing" : "Stopped");
}

// A property that never changes: its values, appended as its signature says.
template <const char* Signature, auto... Values>
int constant(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
             sd_bus_error*) {
    return sd_bus_message_append(reply, Signature, Values...);
}

constexpr char kBoolean[] = "b";
constexpr char kText[] = "s";
constexpr char kTexts[] = "as";
constexpr char kDouble[] = "d";
constexpr char kInt64[] = "x";
constexpr char kIdentity[] = "Quorvane";
constexpr char kDesktopEntry[] = "quorvane";
constexpr sd_bus_property_get_t yes = constant<kBoolean, 1>;
constexpr sd_bus_property_get_t no = constant<kBoolean, 0>;
constexpr sd_bus_property_get_t identity = constant<kText, kIdentity>;
constexpr sd_bus_property_get_t desktop_entry = constant<kText, kDesktopEntry>;
constexpr sd_bus_property_get_t no_strings = constant<kTexts, 0>;
constexpr sd_bus_property_get_t normal_rate = constant<kDouble, 1.0>;
constexpr sd_bus_property_get_t start_position = constant<kInt64, int64_t{0}>;

// The one track there is: the beach.
int metadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
             sd_bus_error*) {
    return sd_bus_message_append(reply, "a{sv}", 3, "mpris:trackid", "o",
                                 "/org/mpris/MediaPlayer2/TrackList/NoTrack", "xesam:title", "s",
                                 "The beach at night", "xesam:artist", "as", 1, "Quorvane");
}

int name_reply(sd_bus_message* reply, void* userdata, sd_bus_error*) {
    uint32_t answer = 0;
    if (!sd_bus_message_is_method_error(reply, nullptr) &&
        sd_bus_message_read(reply, "u", &answer) >= 0)
        static_cast<MprisServer*>(userdata)->name_answered(answer);
    return 0;
}

const sd_bus_vtable kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Raise", "", "", call<&MediaPlayer::raise>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Quit", "", "", call<&MediaPlayer::quit>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("CanQuit", "b", yes, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanRaise", "b", yes, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("HasTrackList", "b", no, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Identity", "s", identity, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("DesktopEntry", "s", desktop_entry, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("SupportedUriSchemes", "as", no_strings, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("SupportedMimeTypes", "as", no_strings, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

const sd_bus_vtable kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("PlayPause", "", "", call<&MediaPlayer::play_pause>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Play", "", "", call<&MediaPlayer::play>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Pause", "", "", call<&MediaPlayer::pause>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Stop", "", "", call<&MediaPlayer::stop>, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Next", "", "", ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Previous", "", "", ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("Seek", "x", "", ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("SetPosition", "ox", "", ignore, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_METHOD("OpenUri", "s", "", open_uri, SD_BUS_VTABLE_UNPRIVILEGED),
    SD_BUS_PROPERTY("PlaybackStatus", "s", playback_status, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Rate", "d", normal_rate, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("MinimumRate", "d", normal_rate, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("MaximumRate", "d", normal_rate, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Metadata", "a{sv}", metadata, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("Position", "x", start_position, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", no, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanGoPrevious", "b", no, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanPlay", "b", yes, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanPause", "b", yes, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanSeek", "b", no, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanControl", "b", yes, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END,
};

} // namespace

std::unique_ptr<MprisServer> MprisServer::connect(MediaPlayer& player) {
    std::unique_ptr<BusConnection> connection = BusConnection::session();
    if (!connection)
        return nullptr;
    sd_bus* bus = connection->bus();
    std::unique_ptr<MprisServer> server(new MprisServer(std::move(connection), player));
    // Nothing here waits for the bus: the name and every call are handled as they come, in the
    // loop's services, so a slow bus never holds up the scene.
    if (sd_bus_add_object_vtable(bus, &server->m_root_slot, kPath, kRootInterface, kRootTable,
                                 &player) < 0 ||
        sd_bus_add_object_vtable(bus, &server->m_player_slot, kPath, kPlayerInterface, kPlayerTable,
                                 &player) < 0 ||
        !server->ask_for_name(kName))
        return nullptr;
    return server;
}

bool MprisServer::ask_for_name(const std::string& name) {
    m_asked = name;
    return sd_bus_request_name_async(m_connection->bus(), nullptr, name.c_str(), 0, name_reply,
                                     this) >= 0;
}

// Another session of the same user may hold the common name: this process then takes a name of
// its own, as media players do.
void MprisServer::name_answered(uint32_t answer) {
    constexpr uint32_t kPrimaryOwner = 1, kExists = 3, kAlreadyOwner = 4;
    if (answer == kPrimaryOwner || answer == kAlreadyOwner)
        m_name = m_asked;
    else if (answer == kExists && m_asked == kName)
        ask_for_name(std::string(kName) + ".instance" + std::to_string(getpid()));
}

MprisServer::MprisServer(std::unique_ptr<BusConnection> connection, MediaPlayer& player)
    : m_connection(std::move(connection)), m_player(player) {
}

MprisServer::~MprisServer() {
    sd_bus_slot_unref(m_player_slot);
    sd_bus_slot_unref(m_root_slot);
}

void MprisServer::playing_changed() {
    sd_bus_emit_properties_changed(m_connection->bus(), kPath, kPlayerInterface, "PlaybackStatus",
                                   nullptr);
}

} // namespace platform
