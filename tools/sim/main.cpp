// brimwatch-sim: plays the location system for brimwatch on loopback. It serves the zones of
// a site file over REST, takes the device messages brimwatch posts, publishes zone events of
// walking tags on the proxy, and answers like the tags' devices would.
#include "test_support/device_simulator.hpp"
#include "test_support/fake_rest_server.hpp"
#include "test_support/proxy.hpp"

#include <jsoncpp/json/json.h>

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using clock_type = std::chrono::steady_clock;
using namespace std::chrono_literals;

volatile std::sig_atomic_t g_stop = 0;

void on_signal(int) {
    g_stop = 1;
}

struct options {
    std::string site = "etc/demo/site.json";
    std::string ready_file;
    double rate = 1.0;
    double ack_loss = 0.1;
    long ack_delay_ms = 400;
    long heartbeat_seconds = 15;
    long reboot_after_seconds = 0;
    long duration_seconds = 0;
    unsigned seed = 1;
    bool view = false;
};

int usage(std::ostream& _os, const char* _program, int _status) {
    _os << "Usage: " << _program << " [options]\n"
        << "  --site FILE            zones, zone types and tags (default etc/demo/site.json)\n"
        << "  --ready-file FILE      write {\"rest\": URL, \"proxy\": ENDPOINT} there once "
           "serving\n"
        << "  --rate N               tag moves per second (default 1)\n"
        << "  --ack-loss SHARE       share of acknowledgements lost, 0 to 1 (default 0.1)\n"
        << "  --ack-delay-ms N       acknowledgements come after up to N ms (default 400)\n"
        << "  --heartbeat-seconds N  a random device sends \"HB\" every N s, 0 for never (default "
           "15)\n"
        << "  --reboot-after N       one device reboots (\"NA\") after N s, 0 for never (default "
           "0)\n"
        << "  --duration N           stop after N s, 0 to run until Ctrl-C (default 0)\n"
        << "  --seed N               seed of the random walk (default 1)\n"
        << "  --view                 print the live view once a second\n"
        << "Commands on standard input: \"max ZONE N\" changes a zone's max_occupancy and\n"
        << "publishes the zone update.\n";
    return _status;
}

std::optional<options> parse_options(int argc, char** argv, int& _status) {
    options parsed;
    struct numeric_option {
        double min;
        double max;
        std::function<void(double)> set;
    };
    const std::map<std::string, numeric_option> numeric{
        {"--rate", {0.01, 1000, [&](double _v) { parsed.rate = _v; }}},
        {"--ack-loss", {0, 1, [&](double _v) { parsed.ack_loss = _v; }}},
        {"--ack-delay-ms",
         {0, 60000, [&](double _v) { parsed.ack_delay_ms = static_cast<long>(_v); }}},
        {"--heartbeat-seconds",
         {0, 86400, [&](double _v) { parsed.heartbeat_seconds = static_cast<long>(_v); }}},
        {"--reboot-after",
         {0, 86400, [&](double _v) { parsed.reboot_after_seconds = static_cast<long>(_v); }}},
        {"--duration",
         {0, 86400.0 * 365, [&](double _v) { parsed.duration_seconds = static_cast<long>(_v); }}},
        {"--seed", {0, 4294967295.0, [&](double _v) { parsed.seed = static_cast<unsigned>(_v); }}}};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            _status = usage(std::cout, argv[0], 0);
            return std::nullopt;
        }
        if (option == "--view") {
            parsed.view = true;
            continue;
        }
        const auto number = numeric.find(option);
        if (option != "--site" && option != "--ready-file" && number == numeric.end()) {
            std::cerr << argv[0] << ": unknown option " << option << "\n";
            _status = usage(std::cerr, argv[0], 2);
            return std::nullopt;
        }
        if (i + 1 >= argc) {
            std::cerr << argv[0] << ": " << option << ": missing value\n";
            _status = usage(std::cerr, argv[0], 2);
            return std::nullopt;
        }
        const std::string value = argv[++i];
        if (option == "--site") {
            parsed.site = value;
        } else if (option == "--ready-file") {
            parsed.ready_file = value;
        } else {
            char* end = nullptr;
            const double read = std::strtod(value.c_str(), &end);
            const auto& range = number->second;
            if (value.empty() || *end != '\0' || read < range.min || read > range.max) {
                std::cerr << argv[0] << ": " << option << " takes a number from " << range.min
                          << " to " << range.max << ", not \"" << value << "\"\n";
                _status = 2;
                return std::nullopt;
            }
            range.set(read);
        }
    }
    return parsed;
}

// The site: what the REST server lists, and where every tag is.
struct site {
    Json::Value zones;
    std::set<std::string> zone_types;
    std::vector<std::string> objects;
    std::map<std::string, std::string> position; // tag → zone uid, absent when outside
    std::map<unsigned, std::string> zone_by_id;
};

std::optional<site> load_site(const std::string& _path, std::string& _error) {
    std::ifstream file(_path);
    if (!file) {
        _error = "cannot open " + _path;
        return std::nullopt;
    }
    Json::Value document;
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!Json::parseFromStream(builder, file, &document, &errors)) {
        _error = _path + " is not JSON: " + errors;
        return std::nullopt;
    }
    if (!document.isObject() || !document["zones"].isArray() || !document["objects"].isArray() ||
        !document["zone_types"].isArray()) {
        _error = _path + " needs the arrays \"zones\", \"objects\" and \"zone_types\"";
        return std::nullopt;
    }
    site loaded;
    loaded.zones = document["zones"];
    for (const auto& type : document["zone_types"]) {
        loaded.zone_types.insert(type.asString());
    }
    for (const auto& object : document["objects"]) {
        if (!object.isString()) {
            _error = _path + ": every object is a tag uid string";
            return std::nullopt;
        }
        loaded.objects.push_back(object.asString());
    }
    for (const auto& zone : loaded.zones) {
        if (!zone.isObject() || !zone["uid"].isString() || !zone["zone_id"].isUInt() ||
            !zone["zone_type_name"].isString()) {
            _error = _path + ": every zone needs \"uid\", \"zone_id\" and \"zone_type_name\"";
            return std::nullopt;
        }
        loaded.zone_by_id[zone["zone_id"].asUInt()] = zone["uid"].asString();
        for (const auto& inside : zone["trackables_in_zone"]) {
            loaded.position[inside["uid"].asString()] = zone["uid"].asString();
        }
    }
    if (loaded.zones.empty() || loaded.objects.empty()) {
        _error = _path + " lists no zone or no tag";
        return std::nullopt;
    }
    return loaded;
}

std::string answer_of(const site& _site) {
    Json::Value answer;
    answer["zones"] = _site.zones;
    return Json::writeString(Json::StreamWriterBuilder(), answer);
}

std::string compact(const Json::Value& _value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, _value);
}

std::pair<long long, int> wall_now() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
    return {ms / 1000, static_cast<int>(ms % 1000)};
}

// What brimwatch did, as the devices saw it.
struct statistics {
    long sent = 0;
    long set_events = 0;
    long clear_events = 0;
    long repeated = 0;
    std::map<std::pair<std::string, unsigned>, std::string> last_type; // (tag, zone id) → "01"/"02"
    std::set<std::pair<std::string, unsigned>> alarms;

    void count(const std::string& _posted) {
        const auto space = _posted.find(' ');
        const auto uid = _posted.substr(0, space);
        const auto hex = _posted.substr(space + 1);
        if (hex.size() < 14) {
            return;
        }
        const auto type = hex.substr(2, 2);
        const auto zone_id = static_cast<unsigned>(std::stoul(hex.substr(10), nullptr, 16));
        const auto key = std::make_pair(uid, zone_id);
        ++sent;
        if (last_type[key] == type) {
            ++repeated;
        }
        last_type[key] = type;
        if (type == "01") {
            ++set_events;
            alarms.insert(key);
        } else {
            ++clear_events;
            alarms.erase(key);
        }
    }
};

void print_view(const site& _site, const statistics& _stats, long _acknowledged, bool _tty) {
    std::ostringstream view;
    if (_tty) {
        view << "\033[H\033[2J";
    }
    view << "zone        type          inside  max  alarms\n";
    for (const auto& zone : _site.zones) {
        const auto type = zone["zone_type_name"].asString();
        if (!_site.zone_types.contains(type)) {
            continue;
        }
        const auto uid = zone["uid"].asString();
        long inside = 0;
        for (const auto& [tag, where] : _site.position) {
            inside += where == uid ? 1 : 0;
        }
        long alarms = 0;
        for (const auto& [tag, zone_id] : _stats.alarms) {
            alarms += zone_id == zone["zone_id"].asUInt() ? 1 : 0;
        }
        const auto& max = zone["user_params"]["max_occupancy"];
        view << std::left << std::setw(12) << uid << std::setw(14) << type << std::setw(8) << inside
             << std::setw(5) << (max.isNumeric() ? std::to_string(max.asUInt()) : std::string("-"))
             << alarms << "\n";
    }
    view << "messages sent " << _stats.sent << " (set " << _stats.set_events << ", clear "
         << _stats.clear_events << "), acknowledged " << _acknowledged << ", repeated "
         << _stats.repeated << "\n";
    std::cout << view.str() << std::flush;
}

} // namespace

int main(int argc, char** argv) {
    int status = 0;
    const auto parsed = parse_options(argc, argv, status);
    if (!parsed) {
        return status;
    }
    const auto& settings = *parsed;
    std::string error;
    auto loaded = load_site(settings.site, error);
    if (!loaded) {
        std::cerr << argv[0] << ": " << error << "\n";
        return 2;
    }
    auto& world = *loaded;

    nkp::test_support::fake_rest_server server;
    nkp::test_support::proxy proxy;
    nkp::test_support::device_simulator devices(server, proxy);
    devices.set_behaviour(settings.ack_loss, std::chrono::milliseconds(settings.ack_delay_ms),
                          settings.seed);
    server.set_answer("/api/private/zones/", {200, answer_of(world)});
    server.set_answer("/api/v2/private/user_msg/", {200, "{}"});
    if (!settings.ready_file.empty()) {
        Json::Value ready;
        ready["rest"] = server.address();
        ready["proxy"] = proxy.endpoint();
        std::ofstream(settings.ready_file) << compact(ready);
    }
    std::cerr << "brimwatch-sim: REST " << server.address() << ", proxy " << proxy.endpoint()
              << std::endl;
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);

    std::mt19937 random(settings.seed);
    const auto pick = [&](std::size_t _count) {
        return std::uniform_int_distribution<std::size_t>(0, _count - 1)(random);
    };
    const auto publish_zone_event = [&](const std::string& _tag, const Json::Value& _zone,
                                        const std::string& _action) {
        const auto [seconds, milliseconds] = wall_now();
        Json::Value event;
        event["ts"] = static_cast<Json::Int64>(seconds);
        event["ms"] = milliseconds;
        event["obj_uid"] = _tag;
        event["zone_uid"] = _zone["uid"];
        event["zone_type_name"] = _zone["zone_type_name"];
        event["action"] = _action;
        proxy.publish("#zone_event " + compact(event));
    };
    const auto zone_named = [&](const std::string& _uid) -> Json::Value* {
        for (auto& zone : world.zones) {
            if (zone["uid"].asString() == _uid) {
                return &zone;
            }
        }
        return nullptr;
    };

    statistics stats;
    const auto started = clock_type::now();
    const auto move_every = std::chrono::duration_cast<clock_type::duration>(
        std::chrono::duration<double>(1.0 / settings.rate));
    auto next_move = started + move_every;
    auto next_heartbeat = started + std::chrono::seconds(settings.heartbeat_seconds);
    auto next_view = started + 1s;
    bool rebooted = settings.reboot_after_seconds == 0;
    std::string input;

    while (g_stop == 0) {
        const auto now = clock_type::now();
        if (settings.duration_seconds > 0 &&
            now - started >= std::chrono::seconds(settings.duration_seconds)) {
            break;
        }
        for (const auto& posted : devices.poll(now)) {
            stats.count(posted);
        }
        if (now >= next_move) {
            next_move += move_every;
            const auto& tag = world.objects[pick(world.objects.size())];
            const auto where = world.position.find(tag);
            if (where != world.position.end()) {
                publish_zone_event(tag, *zone_named(where->second), "leave");
                world.position.erase(where);
            }
            // Half the moves go into a zone, the others end outside.
            if (where == world.position.end() || pick(2) == 0) {
                const auto& zone =
                    world.zones[static_cast<Json::ArrayIndex>(pick(world.zones.size()))];
                publish_zone_event(tag, zone, "enter");
                world.position[tag] = zone["uid"].asString();
            }
        }
        if (settings.heartbeat_seconds > 0 && now >= next_heartbeat) {
            next_heartbeat += std::chrono::seconds(settings.heartbeat_seconds);
            proxy.publish(R"(#notify {"object": "DEVICE", "action": "HB", "dev_id": ")" +
                          world.objects[pick(world.objects.size())] + "\"}");
        }
        if (!rebooted && now - started >= std::chrono::seconds(settings.reboot_after_seconds)) {
            rebooted = true;
            proxy.publish(R"(#notify {"object": "DEVICE", "action": "NA", "dev_id": ")" +
                          world.objects[pick(world.objects.size())] + "\"}");
        }
        // Commands: "max ZONE N".
        pollfd in{STDIN_FILENO, POLLIN, 0};
        if (::poll(&in, 1, 0) > 0 && (in.revents & POLLIN) != 0) {
            char buffer[256];
            const auto got = ::read(STDIN_FILENO, buffer, sizeof(buffer));
            if (got > 0) {
                input.append(buffer, static_cast<std::size_t>(got));
            }
            for (auto end = input.find('\n'); end != std::string::npos; end = input.find('\n')) {
                std::istringstream command(input.substr(0, end));
                input.erase(0, end + 1);
                std::string word, uid;
                long limit = -1;
                command >> word >> uid >> limit;
                auto* zone = zone_named(uid);
                if (word != "max" || zone == nullptr || limit < 0) {
                    std::cerr << "brimwatch-sim: commands are \"max ZONE N\"\n";
                    continue;
                }
                (*zone)["user_params"]["max_occupancy"] = static_cast<Json::UInt>(limit);
                server.set_answer("/api/private/zones/", {200, answer_of(world)});
                const auto [seconds, milliseconds] = wall_now();
                Json::Value notify;
                notify["object"] = "ZONE";
                notify["action"] = "updated";
                notify["ts"] = static_cast<Json::Int64>(seconds);
                notify["ms"] = milliseconds;
                notify["plist"] = *zone;
                proxy.publish("#notify " + compact(notify));
            }
        }
        if (now >= next_view) {
            next_view += 1s;
            if (settings.view) {
                print_view(world, stats, devices.acknowledged(), isatty(STDOUT_FILENO) != 0);
            }
        }
        std::this_thread::sleep_for(20ms);
    }
    std::cout << "summary: sent " << stats.sent << ", set " << stats.set_events << ", clear "
              << stats.clear_events << ", acknowledged " << devices.acknowledged() << ", repeated "
              << stats.repeated << std::endl;
    return 0;
}
