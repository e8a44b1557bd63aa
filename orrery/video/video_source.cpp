#include "orrery/video/video_source.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace orrery {

namespace {

constexpr int kFrameTimeoutMs = 3000;

bool gstReady() {
    static const bool ready = gst_init_check(nullptr, nullptr, nullptr);
    return ready;
}

// Only characters that cannot break out of the pipeline description.
bool safeWord(const std::string& s) {
    for (char c : s)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '-' || c == '_' || c == '.')) return false;
    return !s.empty();
}

// "640x480" or "1/10": two positive numbers and the separator.
bool parsePair(const std::string& text, char separator, int& a, int& b) {
    char sep = 0;
    char rest = 0;
    return std::sscanf(text.c_str(), "%d%c%d%c", &a, &sep, &b, &rest) == 3 && sep == separator && a > 0 && b > 0 &&
           a <= 8192 && b <= 8192;
}

}  // namespace

std::vector<VideoDevice> VideoSource::devices() {
    std::vector<VideoDevice> list;
    if (!gstReady()) return list;
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    if (gst_device_monitor_start(monitor)) {
        GList* found = gst_device_monitor_get_devices(monitor);
        for (GList* item = found; item; item = item->next) {
            GstDevice* device = GST_DEVICE(item->data);
            gchar* name = gst_device_get_display_name(device);
            GstStructure* properties = gst_device_get_properties(device);
            const gchar* path = properties ? gst_structure_get_string(properties, "device.path") : nullptr;
            if (!path && properties) path = gst_structure_get_string(properties, "api.v4l2.path");
            if (path) list.push_back({path, name ? name : path});
            if (properties) gst_structure_free(properties);
            g_free(name);
        }
        g_list_free_full(found, gst_object_unref);
        gst_device_monitor_stop(monitor);
    }
    gst_object_unref(monitor);
    return list;
}

std::string VideoSource::chosenSource(const Config& config) {
    std::string source = config.text("video", "auto");
    if (source == "none") return {};
    if (source == "auto") {
        std::vector<VideoDevice> found = devices();
        return found.empty() ? std::string() : found.front().path;
    }
    return source;
}

std::unique_ptr<VideoSource> VideoSource::start(const Config& config, std::string& error) {
    std::string source = chosenSource(config);
    if (source.empty()) {
        error = "no video source";
        return nullptr;
    }
    if (!gstReady()) {
        error = "GStreamer cannot start";
        return nullptr;
    }
    std::string element;
    if (source == "test") {
        std::string pattern = config.text("video.pattern", "smpte");
        if (!safeWord(pattern)) pattern = "smpte";
        int w = kVideoWidth, h = kVideoHeight, num = 30, den = 1;
        if (!parsePair(config.text("video.test_size"), 'x', w, h)) w = kVideoWidth, h = kVideoHeight;
        if (!parsePair(config.text("video.test_rate"), '/', num, den)) num = 30, den = 1;
        element = "videotestsrc is-live=true pattern=" + pattern + " ! video/x-raw,width=" + std::to_string(w) +
                  ",height=" + std::to_string(h) + ",framerate=" + std::to_string(num) + "/" + std::to_string(den);
        // Like a webcam that sends only MJPEG.
        if (config.text("video.test_format") == "jpeg") element += " ! jpegenc";
    } else {
        if (!safeWord(source)) {
            error = "bad video device name";
            return nullptr;
        }
        element = "v4l2src device=" + source;
    }
    // Many webcams send only MJPEG: decodebin finds the decoder, raw passes
    // through. Square pixels at the camera's own size; pull() fits them
    // inside 640 x 480.
    std::string description = element +
                              " ! decodebin ! videoconvert ! videoscale ! video/x-raw,format=RGB,pixel-aspect-ratio=1/1"
                              " ! appsink name=sink max-buffers=2 drop=true sync=false";
    GError* gerror = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &gerror);
    if (!pipeline || gerror) {
        error = gerror ? gerror->message : "cannot build the pipeline";
        if (gerror) g_error_free(gerror);
        if (pipeline) gst_object_unref(pipeline);
        return nullptr;
    }
    std::unique_ptr<VideoSource> video(new VideoSource);
    video->pipeline_ = pipeline;
    video->sink_ = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    video->description_ = source == "test" ? "GStreamer test source" : source;
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        error = source + ": cannot play";
        return nullptr;
    }
    // A device that fails to open posts an error on the bus; look before the first pull.
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(bus, 0, GST_MESSAGE_ERROR);
    if (message) {
        GError* err = nullptr;
        gst_message_parse_error(message, &err, nullptr);
        error = err ? err->message : "video error";
        if (err) g_error_free(err);
        gst_message_unref(message);
        gst_object_unref(bus);
        return nullptr;
    }
    gst_object_unref(bus);
    return video;
}

VideoSource::~VideoSource() {
    if (pipeline_) {
        gst_element_set_state(GST_ELEMENT(pipeline_), GST_STATE_NULL);
        if (sink_) gst_object_unref(sink_);
        gst_object_unref(pipeline_);
    }
}

bool VideoSource::pull(Picture& out, int timeoutMs) {
    if (!sink_) return false;
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), GstClockTime(timeoutMs) * GST_MSECOND);
    if (!sample) return false;
    bool ok = false;
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    GstMapInfo map;
    if (buffer && caps && gst_video_info_from_caps(&info, caps) && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        int width = GST_VIDEO_INFO_WIDTH(&info), height = GST_VIDEO_INFO_HEIGHT(&info);
        size_t stride = size_t(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0));
        if (width > 0 && height > 0 && stride >= size_t(width) * 3 && map.size >= stride * size_t(height - 1) + size_t(width) * 3) {
            Picture picture(width, height);
            for (int y = 0; y < height; ++y) std::memcpy(picture.row(y), map.data + stride * size_t(y), size_t(width) * 3);
            int w = width, h = height;
            if (w > kVideoWidth || h > kVideoHeight) {
                fitInside(width, height, kVideoWidth, kVideoHeight, w, h);
                picture = resize(picture, w, h);
            }
            out = std::move(picture);
            ok = true;
        }
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return ok;
}

GlobalHandle grabVideoFrame(const Config& config) {
    std::string error;
    std::unique_ptr<VideoSource> video = VideoSource::start(config, error);
    if (!video) return 0;
    Picture frame;
    for (int i = 0; i < kSettleFrames; ++i)
        if (!video->pull(frame, kFrameTimeoutMs)) return 0;
    return pictureToDib(frame);
}

}  // namespace orrery
