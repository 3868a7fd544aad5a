// Test doubles shared by the fighter tests: a hand-set clock and mouse, a
// recorder for the sounds played, and walls built face by face.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "client/map/map_model.h"
#include "client/core/records.h"
#include "client/match/fighter_media.h"
#include "client/core/records.h"
#include "client/core/records.h"
#include "platform/clock.h"

namespace testworld {

inline uint32_t now = 100000;
inline MouseDelta mouse = {0, 0};
inline std::vector<int> channelsPlayed;

inline uint32_t fakeClock() { return now; }
inline MouseDelta fakeMouse() { return mouse; }
inline void recordSound(Sound, int channel) { channelsPlayed.push_back(channel); }

inline int playedOn(int channel) {
    int n = 0;
    for (int c : channelsPlayed) n += c == channel;
    return n;
}

// Puts every record the fighter reads into a known state: a fresh process and
// match, then the hand-set clock, mouse and sound recorder.
inline void reset() {
    now = 100000;
    mouse = {0, 0};
    channelsPlayed.clear();
    resetProcessRecords();
    resetMatchRecords();
    platform::setClockSource(fakeClock);
    setMouseDeltaSource(fakeMouse);
    fighterMedia.playSound = recordSound;
}

// A triangle whose front is the side its corners run counter-clockwise.
inline MapFace face(Vec3 a, Vec3 b, Vec3 c) {
    MapFace f;
    f.corners[0].position = a;
    f.corners[1].position = b;
    f.corners[2].position = c;
    Vec3 n = cross(b - a, c - a);
    f.planeNormal = normalize(n);
    f.planeDistance = -dot(f.planeNormal, a);
    return f;
}

// Owns the faces of a test map; meshes() is what the collision code reads.
struct World {
    std::vector<std::vector<MapFace>> faceLists;
    std::vector<MapMesh> meshList;

    void addMesh(std::vector<MapFace> faces) { faceLists.push_back(std::move(faces)); }
    const std::vector<MapMesh>& meshes() {
        meshList.clear();
        for (auto& list : faceLists) {
            MapMesh m;
            m.faceCount = int32_t(list.size());
            m.faces = list.data();
            meshList.push_back(m);
        }
        return meshList;
    }
};

// The large wall in the plane x = 0, front towards +x.
inline MapFace wallAtXZero() { return face({0, -100, -100}, {0, 100, -100}, {0, 0, 100}); }
// A wall across y = at, front towards -y (facing a fighter coming from below).
inline MapFace wallAcrossY(float at) {
    return face({-100, at, -100}, {100, at, -100}, {0, at, 100});
}

}  // namespace testworld
