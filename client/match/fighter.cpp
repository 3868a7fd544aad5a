#include "client/match/fighter.h"

#include "client/core/records.h"
#include "client/match/fighter_media.h"

namespace {

const Skin SKINS[SKIN_COUNT] = {
    {"../data/fighter/f1.tga", 0.08f, 1500},
    {"../data/fighter/f2.tga", 0.07f, 1200},
    {"../data/fighter/f3.tga", 0.06f, 900},
};

uint32_t noTexture(const char*) { return 0; }
void keepTexture(uint32_t) {}
Sound noSound(const char*) { return nullptr; }
void silence(Sound, int) {}
void keepSound(Sound) {}
void drawNothing(const Fighter&) {}
void drawNoLocal(const LocalFighter&) {}

}  // namespace

FighterMedia silentFighterMedia() {
    return {noTexture, keepTexture, noSound, silence, keepSound, drawNothing, drawNoLocal};
}

FighterMedia fighterMedia = silentFighterMedia();

namespace {
// Silent again whenever the process's records are reset (tests, bots).
const bool mediaResetAdded = (addProcessReset([] { fighterMedia = silentFighterMedia(); }), true);
}  // namespace

const Skin& skinFor(int32_t skin) {
    // An unknown skin (a bad menu index or a remote state) would otherwise
    // leave speed and reload unset; skin 0 is the sensible stand-in.
    return (skin >= 0 && skin < SKIN_COUNT) ? SKINS[skin] : SKINS[0];
}

void setBeamCorners(Beam& beam, float length) {
    beam.corners[0] = {-0.22f, 0.7f, 0.0f};
    beam.corners[1] = {-0.12f, 0.7f, 0.0f};
    beam.corners[2] = {0.05f, length, 0.0f};
    beam.corners[3] = {-0.05f, length, 0.0f};
}

Fighter::Fighter(int32_t skinIndex) {
    skin = skinIndex;
    spriteCorners[0] = {-0.7f, -0.7f, 0.0f};
    spriteCorners[1] = {0.7f, -0.7f, 0.0f};
    spriteCorners[2] = {0.7f, 0.7f, 0.0f};
    spriteCorners[3] = {-0.7f, 0.7f, 0.0f};
    body.setPosition(0.0f, 0.0f, 0.0f);
    sphere.radius = (spriteCorners[1].x - spriteCorners[0].x) * 0.5f;
    sphere.current = sphere.previous = body.position;
    setBeamCorners(beam, 0.0f);
    updateTexCoords();
    skinTexture = fighterMedia.loadTexture(skinFor(skin).texturePath);
    bloodTexture = fighterMedia.loadTexture("../data/fighter/blood.tga");
    laserTexture = fighterMedia.loadTexture("../data/fighter/laser.tga");
}

Fighter::~Fighter() {
    fighterMedia.deleteTexture(skinTexture);
    fighterMedia.deleteTexture(bloodTexture);
    fighterMedia.deleteTexture(laserTexture);
}

void Fighter::draw() { fighterMedia.drawFighter(*this); }

void Fighter::updateTexCoords() {
    int col = animFrame % 4;
    int row = animFrame / 4;
    float uLeft = float(col) * 0.25f;
    float vBottom = float(3 - row) * 0.25f;
    spriteTexCoords[0][0] = uLeft;
    spriteTexCoords[0][1] = vBottom;
    spriteTexCoords[1][0] = uLeft + 0.25f;
    spriteTexCoords[1][1] = vBottom;
    spriteTexCoords[2][0] = uLeft + 0.25f;
    spriteTexCoords[2][1] = vBottom + 0.25f;
    spriteTexCoords[3][0] = uLeft;
    spriteTexCoords[3][1] = vBottom + 0.25f;
}
