#include "client/ui/scoreboard.h"

#include <cstdio>

void sortScoreRows(ScoreRow rows[SCOREBOARD_ROWS]) {
    for (int i = 0; i < SCOREBOARD_ROWS - 1; ++i) {
        if (rows[i].name[0] == '\0') continue;
        for (int j = i + 1; j < SCOREBOARD_ROWS; ++j) {
            if (rows[j].name[0] != '\0' && rows[i].frags < rows[j].frags) {
                ScoreRow swap = rows[i];
                rows[i] = rows[j];
                rows[j] = swap;
            }
        }
    }
}

int scoreboardLines(const ScoreRow rows[SCOREBOARD_ROWS], ScoreLine out[SCOREBOARD_MAX_LINES]) {
    int count = 0;
    setTextLine(out[count++], -0.95f, 0.5f, 0.5f, 1.0f, 0.5f, "    FRAGS       NAME");
    setTextLine(out[count++], -0.95f, 0.45f, 0.5f, 1.0f, 0.5f, "   __________________");
    int rank = 0;
    for (int i = 0; i < SCOREBOARD_ROWS; ++i) {
        if (rows[i].name[0] == '\0') continue;
        ++rank;
        float y = 0.4f - 0.08f * float(rank);
        char text[64];
        std::snprintf(text, sizeof text, "%i.    %i", rank, rows[i].frags);
        setTextLine(out[count++], -0.95f, y, 1.0f, 1.0f, 0.5f, text);
        std::snprintf(text, sizeof text, "               %.14s", rows[i].name);
        setTextLine(out[count++], -0.95f, y, 0.7f, 1.0f, 1.0f, text);
    }
    return count;
}
