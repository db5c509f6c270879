// The video recorder: frames through a pipe to ffmpeg, progress on standard error.
#include "app/record.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "app/capture.h"
#include "gfx/render_interface.h"
#include "platform/file_system.h"
#include "platform/system.h"

namespace {

// Written by BeginRecording, RecordVideoFrame and FinishRecording (g_writeFailed also by
// the frame writer's thread).
ChildProcess* g_ffmpeg = nullptr;  // while recording
FILE* g_pipe = nullptr;            // ffmpeg's standard input while recording
std::atomic<bool> g_writeFailed{false};   // ffmpeg stopped taking frames (ended early, disk full)
std::string g_path;                // the name asked for
std::string g_partialPath;         // the name while writing
int g_startMs = 0;
int g_endMs = 0;
long g_frames = 0;
int g_lastTenth = -1;
bool g_terminal = false;
std::chrono::steady_clock::time_point g_began;

bool EndsWith(const std::string& text, const std::string& ending)
{
    return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

void ShowProgress(int32_t demoTime, bool last)
{
    const double span = g_endMs > g_startMs ? g_endMs - g_startMs : 1;
    double fraction = (demoTime - g_startMs) / span;
    if (fraction < 0) fraction = 0;
    if (fraction > 1 || last) fraction = 1;
    const int tenth = static_cast<int>(fraction * 10);
    if (!g_terminal && tenth == g_lastTenth && !last) return;
    g_lastTenth = tenth;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - g_began).count();
    const double fps = seconds > 0 ? g_frames / seconds : 0;
    const double left = fraction > 0 ? seconds * (1 - fraction) / fraction : 0;
    const std::string line = RecordingProgressLine(fraction, fps, left);
    if (g_terminal)
        std::fprintf(stderr, "\r%s%s", line.c_str(), last ? "\n" : "");
    else
        std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

// Frames on their way to ffmpeg. The main thread reads each frame back into a free slot
// and goes on drawing while this thread writes the full slots to the pipe in order, so
// drawing and the encoder's reading overlap; with every slot full the main thread waits.
class FrameWriter {
public:
    static constexpr int Slots = 4;

    explicit FrameWriter(FILE* pipe) : pipe_(pipe), thread_([this] { WriteInOrder(); }) {}
    ~FrameWriter()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }

    // The slot the next frame goes into, once the writer has emptied it.
    std::vector<uint8_t>& FreeSlot()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return queued_ < Slots; });
        return slots_[(first_ + queued_) % Slots];
    }
    // Hands the slot from FreeSlot to the writer.
    void Queue()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++queued_;
        }
        changed_.notify_all();
    }

private:
    void WriteInOrder()
    {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return queued_ > 0 || closing_; });
            if (queued_ == 0) return;   // closing, and everything written
            std::vector<uint8_t>& frame = slots_[first_];
            lock.unlock();
            if (!g_writeFailed && std::fwrite(frame.data(), 1, frame.size(), pipe_) != frame.size())
                g_writeFailed = true;
            lock.lock();
            first_ = (first_ + 1) % Slots;
            --queued_;
            changed_.notify_all();
        }
    }

    FILE* pipe_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<uint8_t> slots_[Slots];
    int first_ = 0;    // the oldest full slot
    int queued_ = 0;   // full slots
    bool closing_ = false;
    std::thread thread_;   // last: starts once the members above exist
};

FrameWriter* g_writer = nullptr;   // while recording; made by BeginRecording, ended by FinishRecording

}  // namespace

VideoKind VideoKindOfPath(const std::string& path)
{
    if (EndsWith(path, ".mp4")) return VideoKind::Mp4;
    if (EndsWith(path, ".mkv")) return VideoKind::Matroska;
    if (EndsWith(path, ".webm")) return VideoKind::WebM;
    return VideoKind::Unknown;
}

std::string PartialVideoPath(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + ".partial";
    return path.substr(0, dot) + ".partial" + path.substr(dot);
}

std::vector<std::string> FfmpegArguments(VideoKind kind, int fps, int startMs, const std::string& soundtrack,
                                         const std::string& outputPath, int width, int height)
{
    char start[32];
    std::snprintf(start, sizeof start, "%d.%03d", startMs / 1000, startMs % 1000);
    std::vector<std::string> arguments = {"-hide_banner", "-loglevel", "error", "-nostdin", "-y",
                                          "-f", "rawvideo", "-pix_fmt", "bgra",
                                          "-video_size", std::to_string(width) + "x" + std::to_string(height),
                                          "-framerate", std::to_string(fps), "-i", "pipe:0"};
    // The MP3's encoder delay is skipped by the decoder (its gapless header), so its
    // sample 0 is the demo's time 0.
    for (const std::string& a : {std::string("-ss"), std::string(start), std::string("-i"), soundtrack})
        arguments.push_back(a);
    for (const char* a : {"-map", "0:v:0", "-map", "1:a:0"}) arguments.push_back(a);
    if (kind == VideoKind::WebM) {
        for (const char* a : {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8", "-row-mt", "1",
                              "-b:v", "0", "-crf", "32", "-pix_fmt", "yuv420p", "-c:a", "libopus", "-b:a", "160k"})
            arguments.push_back(a);
    } else {
        for (const char* a : {"-c:v", "libx264", "-preset", "superfast", "-crf", "20", "-pix_fmt", "yuv420p",
                              "-c:a", "aac", "-b:a", "192k"})
            arguments.push_back(a);
    }
    if (kind == VideoKind::Mp4)
        for (const char* a : {"-movflags", "+faststart"}) arguments.push_back(a);
    arguments.push_back("-shortest");
    arguments.push_back(outputPath);
    return arguments;
}

std::string RecordingProgressLine(double fraction, double framesPerSecond, double secondsLeft)
{
    const int left = static_cast<int>(secondsLeft + 0.5);
    char line[96];
    std::snprintf(line, sizeof line, "recording %3d%%  %4.0f fps  %d:%02d left", static_cast<int>(fraction * 100 + 1e-9),
                  framesPerSecond, left / 60, left % 60);
    return line;
}

bool BeginRecording(const std::string& path, int fps, int startMs, int endMs, const std::string& soundtrack,
                    int width, int height, std::string* error)
{
    const VideoKind kind = VideoKindOfPath(path);
    if (kind == VideoKind::Unknown) {
        *error = "--record takes a file ending in .mp4, .mkv or .webm: " + path;
        return false;
    }
    const std::string ffmpeg = PlatformFindProgram("ffmpeg");
    if (ffmpeg.empty()) {
        *error = "cannot record: the ffmpeg program is not installed (none on the PATH)";
        return false;
    }
    g_path = path;
    g_partialPath = PartialVideoPath(path);
    FILE* probe = PlatformOpenFile(g_partialPath, "wb");
    if (!probe) {
        *error = "cannot record: " + g_partialPath + " cannot be written";
        return false;
    }
    std::fclose(probe);
    // The encoder at a lower priority: drawing is the critical path, and the encoder
    // catches up in the moments the drawing leaves a processor idle (the frames wait in
    // the writer's slots and the pipe). On two cores this takes a whole recording from
    // about 48 s to 42 s. A pipe of 1 MiB: a frame crosses in two writes, not twenty.
    g_ffmpeg = PlatformStartChild(ffmpeg, FfmpegArguments(kind, fps, startMs, soundtrack, g_partialPath, width, height),
                                  true, 1 << 20);
    if (!g_ffmpeg) {
        PlatformRemoveFile(g_partialPath);
        *error = "cannot record: ffmpeg could not be started";
        return false;
    }
    g_pipe = PlatformChildInput(g_ffmpeg);
    g_writer = new FrameWriter(g_pipe);
    g_startMs = startMs;
    g_endMs = endMs;
    g_frames = 0;
    g_lastTenth = -1;
    g_writeFailed = false;
    g_terminal = PlatformIsTerminal(stderr);
    g_began = std::chrono::steady_clock::now();
    return true;
}

bool RecordingActive() { return g_pipe != nullptr; }

void RecordVideoFrame(RenderInterface& render, int32_t demoTime)
{
    if (!g_pipe || g_writeFailed) return;
    int width = 0, height = 0;
    render.ReadFrame(&g_writer->FreeSlot(), &width, &height);
    g_writer->Queue();
    ++g_frames;
    ShowProgress(demoTime, false);
}

int FinishRecording(bool completed)
{
    if (!g_pipe) return 0;
    delete g_writer;   // writes what is queued
    g_writer = nullptr;
    if (!g_writeFailed && std::fflush(g_pipe) != 0) g_writeFailed = true;
    const int status = PlatformFinishChild(g_ffmpeg);
    g_ffmpeg = nullptr;
    g_pipe = nullptr;
    const bool encoded = !g_writeFailed && status == 0;
    if (completed && encoded && PlatformRenameFile(g_partialPath, g_path)) {
        if (g_terminal || g_lastTenth < 10) ShowProgress(g_endMs, true);
        std::fprintf(stderr, "recorded %ld frames to %s\n", g_frames, g_path.c_str());
        return 0;
    }
    PlatformRemoveFile(g_partialPath);
    if (g_terminal) std::fputc('\n', stderr);
    if (!completed)
        std::fprintf(stderr, "zircon-megademo: recording stopped before the end; %s was not written\n", g_path.c_str());
    else
        std::fprintf(stderr, "zircon-megademo: ffmpeg failed to write %s (it ended early: disk full or a bad path?)\n",
                     g_path.c_str());
    return 1;
}
