#include "client/assets/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <cstdlib>

#include "client/core/records.h"

uint8_t audioAvailable = 1;

void initAudio() {
    // Registered first, so the audio library shuts down whatever follows.
    std::atexit(SDL_Quit);
    if (SDL_Init(SDL_INIT_AUDIO) != 0) {
        audioAvailable = 0;
        return;
    }
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 1024) != 0) {
        audioAvailable = 0;
        return;
    }
    Mix_AllocateChannels(8);
}

void loadSound(Sound& destination, const char* path) {
    // The owner always ends up with a chunk or none, never a stale handle.
    destination = nullptr;
    if (!audioAvailable) return;
    SDL_RWops* stream = SDL_RWFromFile(path, "rb");
    if (!stream) return;
    destination = Mix_LoadWAV_RW(stream, 1);
    if (destination) Mix_VolumeChunk(destination, settingsCopy().volume * 12);
}

void playSound(Sound sound, int channel) {
    if (!audioAvailable || !sound) return;
    Mix_PlayChannelTimed(channel, sound, channel == 0 ? -1 : 0, -1);
}

void haltChannel(int channel) {
    if (!audioAvailable) return;
    Mix_HaltChannel(channel);
}

void setSoundVolume(Sound sound, int volume) {
    if (!audioAvailable || !sound) return;
    Mix_VolumeChunk(sound, volume);
}

void freeSound(Sound sound) {
    if (!audioAvailable || !sound) return;
    Mix_FreeChunk(sound);
}
