// Recording the demo to a video file with its soundtrack: every presented scene frame is
// read back and piped raw to the ffmpeg program, which encodes it and muxes the MP3 so
// that the sound at DemoTime t plays at video time t - start.
//
// The video is written under a partial name (clip.partial.mp4 beside clip.mp4) and
// renamed only when ffmpeg has finished it; any failure, or a quit before the end,
// removes the partial file, so a file under the asked name is always complete.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RenderInterface;

// Container and codecs chosen by the file name's ending.
enum class VideoKind { Unknown, Mp4, Matroska, WebM };
VideoKind VideoKindOfPath(const std::string& path);

// The name the file has while it is being written.
std::string PartialVideoPath(const std::string& path);

// ffmpeg's arguments: raw BGRA frames of width × height at fps on standard input, the
// soundtrack from startMs on, encoded into outputPath.
std::vector<std::string> FfmpegArguments(VideoKind kind, int fps, int startMs, const std::string& soundtrack,
                                         const std::string& outputPath, int width = 640, int height = 480);

// Finds ffmpeg, checks that the file can be written and starts ffmpeg. False with a
// message in *error.
bool BeginRecording(const std::string& path, int fps, int startMs, int endMs, const std::string& soundtrack,
                    int width, int height, std::string* error);
bool RecordingActive();
// Sends the frame in the back buffer; call once per presented scene frame.
void RecordVideoFrame(RenderInterface& render, int32_t demoTime);
// Closes the pipe and waits for ffmpeg. completed: the run reached its end (not a quit).
// 0 when the file is complete and has its name; otherwise a message on standard error,
// no file under the asked name, and 1.
int FinishRecording(bool completed);

// One progress line: "recording  42%  180 fps  0:12 left".
std::string RecordingProgressLine(double fraction, double framesPerSecond, double secondsLeft);
