#include "objects/zone_impl.hpp"

#include "core/json.hpp"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace nkp::libs::context_utils::objects {
namespace {

constexpr int ZONES = 10000;

// One REST answer with ZONES zones, every field filled.
Json::Value rest_answer() {
    Json::Value zones(Json::arrayValue);
    for (int i = 0; i < ZONES; ++i) {
        auto zone = core::json::parse(R"({
            "project_uid": "p-1", "name": "Hall", "sublocation_uid": "s-1", "active": true,
            "shape": "polygon", "zone_type_name": "restricted", "zone_alarm_level": 2,
            "sublocation_id": 4, "zone_type_id": 7, "default_allowed": false, "priority": -3,
            "updated_at": "2024-03-05T14:07:09.042Z", "trackable_object_uid": "t-9",
            "zone_geometry": {"radius": 5, "positions": [{"x": 1, "y": 2}, {"x": 4, "y": 5}]},
            "trackables_in_zone": [{"uid": "a", "entered": {"x": 1, "y": 2, "z": 3,
                                                            "time": "2024-03-05T14:00:00.000Z"}}],
            "zone_exceptions": ["z2", "z1"], "zone_exceptions_groups": ["g"],
            "user_params": {"max_occupancy": 3}})",
                                      CORE_SOURCE_LOCATION);
        zone["uid"] = "zone-" + std::to_string(i);
        zone["zone_id"] = i;
        zones.append(std::move(zone));
    }
    Json::Value answer;
    answer["zones"] = std::move(zones);
    return answer;
}

} // namespace

const Json::Value& answer() {
    static const Json::Value parsed = rest_answer();
    return parsed;
}

namespace {

std::vector<std::unique_ptr<zone>> build_zones() {
    std::vector<std::unique_ptr<zone>> zones;
    zones.reserve(ZONES);
    for (const auto& element : answer()["zones"]) {
        zones.push_back(std::make_unique<zone_impl>(json_object(element)));
    }
    return zones;
}

// What the service reads of each zone.
void build_and_read_used_fields(benchmark::State& _state) {
    for (auto _ : _state) {
        const auto zones = build_zones();
        for (const auto& zone : zones) {
            benchmark::DoNotOptimize(zone->get_uid());
            benchmark::DoNotOptimize(zone->get_zone_type_name());
            const auto params = zone->get_user_params();
            benchmark::DoNotOptimize(params ? params->get_max_occupancy() : boost::none);
        }
    }
    _state.SetItemsProcessed(_state.iterations() * ZONES);
}

void build_and_read_every_field(benchmark::State& _state) {
    for (auto _ : _state) {
        const auto zones = build_zones();
        for (const auto& zone : zones) {
            benchmark::DoNotOptimize(zone->get_uid());
            benchmark::DoNotOptimize(zone->get_project_uid());
            benchmark::DoNotOptimize(zone->get_zone_id());
            benchmark::DoNotOptimize(zone->get_name());
            benchmark::DoNotOptimize(zone->get_sublocation_uid());
            benchmark::DoNotOptimize(zone->get_active());
            benchmark::DoNotOptimize(zone->get_shape());
            benchmark::DoNotOptimize(zone->get_zone_type_name());
            benchmark::DoNotOptimize(zone->get_zone_alarm_level());
            benchmark::DoNotOptimize(zone->get_sublocation_id());
            benchmark::DoNotOptimize(zone->get_zone_type_id());
            benchmark::DoNotOptimize(zone->get_default_allowed());
            benchmark::DoNotOptimize(zone->get_priority());
            benchmark::DoNotOptimize(zone->get_updated_at());
            benchmark::DoNotOptimize(zone->get_trackable_object_uid());
            benchmark::DoNotOptimize(zone->get_zone_geometry().get_radius());
            zone->get_zone_geometry().for_each_point([](const zone::point& _point) {
                benchmark::DoNotOptimize(_point.get_x() + _point.get_y());
                return true;
            });
            zone->for_each_trackable_in_zone([](const zone::trackable_in_zone& _inside) {
                benchmark::DoNotOptimize(_inside.get_uid());
                benchmark::DoNotOptimize(_inside.get_x() + _inside.get_y() + _inside.get_z());
                benchmark::DoNotOptimize(_inside.get_time());
                return true;
            });
            benchmark::DoNotOptimize(zone->get_zone_exceptions());
            benchmark::DoNotOptimize(zone->get_zone_exceptions_groups());
            benchmark::DoNotOptimize(zone->get_user_params()->get_max_occupancy());
        }
    }
    _state.SetItemsProcessed(_state.iterations() * ZONES);
}

BENCHMARK(build_and_read_used_fields)->Unit(benchmark::kMillisecond);
BENCHMARK(build_and_read_every_field)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace nkp::libs::context_utils::objects

int main(int argc, char** argv) {
    // The answer is parsed once, before any timing.
    nkp::libs::context_utils::objects::answer();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
