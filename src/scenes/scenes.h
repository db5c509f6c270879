// The six scene routines of the play sequence, in play order. Each owns its frame loop
// and returns on quit or at its end time.
#pragma once

void PlayOpeningScene();          // picture fade-in, ends at 17950
void PlaySlicedBallScene();       // ends at 30000
void PlayTwistingBallScene();     // ends at 42000
int PlayCreditsScene();           // ends at 54000; non-zero on quit
int PlayImplicitSurfaceScene();   // ends at 78000; non-zero on quit
int PlayClosingScene();           // grid until 90046, fade until 94000; non-zero on quit
