// make_demo_project OUTPUT_FOLDER [--previews PNG_FOLDER]
// Writes the bundled demo project into OUTPUT_FOLDER; with --previews also PNG pictures of the
// main bitmaps, for looking at the art.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tools/demo/DemoPreview.h"
#include "tools/demo/DemoProject.h"

int main(int argc, char** argv)
{
    if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--previews")) {
        std::fprintf(stderr, "usage: make_demo_project OUTPUT_FOLDER [--previews PNG_FOLDER]\n");
        return 2;
    }
    std::string error;
    if (!GenerateDemoProject(argv[1], &error)) {
        std::fprintf(stderr, "make_demo_project: %s\n", error.c_str());
        return 1;
    }
    if (argc == 4) {
        const std::filesystem::path pngFolder = std::filesystem::absolute(argv[3]);
        std::filesystem::create_directories(pngFolder);
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(argv[1]);
        const struct { const char* bmp; const char* png; int scale; } kPreviews[] = {
            {"bmp\\Title.bmp", "Title.png", 1},          {"bmp\\GameMode.bmp", "GameMode.png", 2},
            {"bmp\\Character1.bmp", "Character1.png", 2}, {"bmp\\Block.bmp", "Block.png", 2},
            {"bmp\\Item.bmp", "Item.png", 3},            {"bmp\\Accessory.bmp", "Accessory.png", 3},
            {"bmp\\Shot.bmp", "Shot.png", 3},            {"bmp\\Word.bmp", "Word.png", 2},
            {"bmp\\StatusWindow.bmp", "StatusWindow.png", 2}, {"bmp\\WorldMapChip.bmp", "WorldMapChip.png", 3},
            {"bmp\\WorldEvent.bmp", "WorldEvent.png", 3}, {"bmp\\Symbol.bmp", "Symbol.png", 3},
            {"bmp\\Debug.bmp", "Debug.png", 4},          {"bmp\\Mark.bmp", "Mark.png", 2},
            {"bmp\\Window.bmp", "Window.png", 1},        {"bmp\\plt\\Palette.bmp", "Palette.png", 16},
        };
        bool bOk = true;
        for (const auto& p : kPreviews) {
            if (!WriteBitmapPreview(p.bmp, (pngFolder / p.png).string(), p.scale)) {
                std::fprintf(stderr, "make_demo_project: no preview of %s\n", p.bmp);
                bOk = false;
            }
        }
        if (!WriteWorldMapPreview((pngFolder / "WorldMap.png").string())) {
            std::fprintf(stderr, "make_demo_project: no preview of the world map\n");
            bOk = false;
        }
        const struct { const char* stage; int32_t column; const char* png; } kStageViews[] = {
            {DemoStageFiles[0], 0, "Stage1a.png"}, {DemoStageFiles[0], 20, "Stage1b.png"},
            {DemoStageFiles[0], 40, "Stage1c.png"}, {DemoStageFiles[1], 0, "Stage2a.png"},
            {DemoStageFiles[1], 25, "Stage2b.png"},
        };
        for (const auto& v : kStageViews) {
            if (!WriteStagePreview(v.stage, v.column, (pngFolder / v.png).string())) {
                std::fprintf(stderr, "make_demo_project: no preview of %s\n", v.stage);
                bOk = false;
            }
        }
        std::filesystem::current_path(previous);
        if (!bOk) return 1;
    }
    return 0;
}
