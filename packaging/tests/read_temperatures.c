/* A C program of a user of the installed Thermcore: opens a still image and
 * prints its size and temperatures (centre, minimum, maximum, average). */
#include <stdio.h>
#include <thermcore.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: read_temperatures FILE.VNI\n");
        return 2;
    }
    IfrHandle image = IFR_LoadFile(NULL, argv[1], IFR_KIND_IMAGE, NULL, NULL);
    if (image == NULL) {
        fprintf(stderr, "read_temperatures: %s does not open\n", argv[1]);
        return 1;
    }
    /* The frame is read by the first step. */
    if (IFR_Next(image) < 0) {
        fprintf(stderr, "read_temperatures: no frame in %s\n", argv[1]);
        IFR_Free(image);
        return 1;
    }
    int width = 0, height = 0;
    IFR_GetImageWidthHeight(image, &width, &height);
    float minTemp = 0.0f, maxTemp = 0.0f;
    IfrPoint minPos, maxPos;
    const int found = IFR_GetRectMinMaxTemp(image, 0, 0, width - 1, height - 1, &minTemp, &minPos, &maxTemp, &maxPos);
    const float centre = IFR_GetPointTemp(image, width / 2, height / 2);
    const float average = IFR_GetRectAverageTemp(image, 0, 0, width - 1, height - 1);
    printf("%dx%d centre %.2f min %.2f at (%d,%d) max %.2f at (%d,%d) average %.2f\n", width, height, centre,
           minTemp, minPos.x, minPos.y, maxTemp, maxPos.x, maxPos.y, average);
    IFR_CloseFile(image);
    IFR_Free(image);
    const int sound = width > 0 && height > 0 && found >= 0 && minTemp > -273.0f && minTemp <= centre &&
                      centre <= maxTemp && minTemp <= average && average <= maxTemp && minTemp < maxTemp;
    return sound ? 0 : 1;
}
