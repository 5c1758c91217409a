#include "island_maps.h"

#include <algorithm>
#include <cstdlib>

namespace content {

namespace {

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
    uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int below(int n) { return int(next() % uint32_t(n)); }
    double unit() { return (next() & 0xFFFFFF) / double(0x1000000); }

private:
    uint32_t state_;
};

// Land may only stand where all six neighbours are on the chart and none is under the frame,
// so every coast is seen whole and the frame never touches an island.
bool land_allowed(int index) {
    if (!is_playable(index)) return false;
    for (int d = 0; d < 6; ++d) {
        int n = neighbour(index, d);
        if (n < 0 || is_excluded(n)) return false;
    }
    return true;
}

// Water pockets enclosed by land read as mistakes on a chart: fill them.
void fill_lakes(std::vector<bool>& land) {
    std::vector<bool> open(kCells, false);
    std::vector<int> stack;
    for (int i = 0; i < kCells; ++i)
        if (!land[i] && !land_allowed(i)) open[i] = true, stack.push_back(i);
    while (!stack.empty()) {
        int i = stack.back();
        stack.pop_back();
        for (int d = 0; d < 6; ++d) {
            int n = neighbour(i, d);
            if (n >= 0 && !land[n] && !open[n]) open[n] = true, stack.push_back(n);
        }
    }
    for (int i = 0; i < kCells; ++i)
        if (!open[i]) land[i] = true;
}

int land_count(const std::vector<bool>& land) {
    return int(std::count(land.begin(), land.end(), true));
}

std::vector<bool> grow_islands(Random& random, int target, int islands) {
    std::vector<bool> land(kCells, false);
    std::vector<int> allowed;
    for (int i = 0; i < kCells; ++i)
        if (land_allowed(i)) allowed.push_back(i);
    std::vector<std::vector<int>> members(islands);
    std::vector<int> seeds;
    for (auto& island : members) {
        // Islands start well apart, so a chart shows several of them rather than one.
        int seed = allowed[random.below(int(allowed.size()))];
        for (int tries = 0; tries < 60; ++tries) {
            bool apart = true;
            for (int other : seeds)
                apart = apart && std::abs(other % kColumns - seed % kColumns) +
                                         std::abs(other / kColumns - seed / kColumns) >=
                                     12;
            if (apart) break;
            seed = allowed[random.below(int(allowed.size()))];
        }
        seeds.push_back(seed);
        land[seed] = true;
        island.push_back(seed);
    }
    int guard = 0, count = islands;
    while (count < target && guard++ < 200000) {
        auto& island = members[random.below(islands)];
        // Growing from a random member gives round shapes with ragged coasts.
        int from = island[random.below(int(island.size()))];
        int n = neighbour(from, random.below(6));
        if (n < 0 || land[n] || !land_allowed(n)) continue;
        land[n] = true;
        island.push_back(n);
        ++count;
    }
    fill_lakes(land);
    return land;
}

IslandMap tiles_for(const std::vector<bool>& land, Random& random) {
    IslandMap map(kCells, int8_t(-1));
    for (int i = 0; i < kCells; ++i) {
        if (!land[i]) continue;
        int mask = 0;
        for (int d = 0; d < 6; ++d) {
            int n = neighbour(i, d);
            if (n >= 0 && land[n]) mask |= 1 << d;
        }
        int tile = mask;
        if (mask == kCoastTiles - 1 && random.unit() < 0.3)
            tile = kCoastTiles + random.below(kInlandTiles);
        map[i] = int8_t(tile);
    }
    return map;
}

} // namespace

std::vector<IslandMap> make_island_maps() {
    std::vector<IslandMap> maps;
    int playable = 0;
    for (int i = 0; i < kCells; ++i)
        playable += is_playable(i);
    int previous = 0;
    for (int m = 0; m < kMapCount; ++m) {
        Random random(uint32_t(m) + 1);
        double fraction;
        int islands;
        if (m < kPlayedMaps) {
            // More land round by round: from a few islets to a crowded archipelago.
            fraction = 0.04 + 0.03 * m;
            islands = 3 + m / 2;
        } else {
            fraction = 0.06 + 0.2 * random.unit();
            islands = 3 + random.below(6);
        }
        int target = int(fraction * playable);
        if (m < kPlayedMaps) target = std::max(target, previous + 12);
        std::vector<bool> land = grow_islands(random, target, islands);
        if (m < kPlayedMaps) previous = land_count(land);
        maps.push_back(tiles_for(land, random));
    }
    return maps;
}

} // namespace content
