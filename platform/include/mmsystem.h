// Multimedia services: wave input and output, the audio mixer and RIFF files.
#pragma once

#include "win_types.h"

typedef UINT MMRESULT;
typedef UINT MMVERSION;
typedef DWORD FOURCC;

#define MAXPNAMELEN 32

#define MMSYSERR_NOERROR 0
#define MMSYSERR_BASE 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define WAVERR_BASE 32
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34
#define MIXERR_BASE 1024
#define MIXERR_INVALLINE 1024
#define MIXERR_INVALCONTROL 1025
#define MIXERR_INVALVALUE 1026
#define MMIOERR_BASE 256
#define MMIOERR_FILENOTFOUND 257
#define MMIOERR_OUTOFMEMORY 258
#define MMIOERR_CANNOTOPEN 259
#define MMIOERR_CANNOTCLOSE 260
#define MMIOERR_CANNOTREAD 261
#define MMIOERR_CANNOTWRITE 262
#define MMIOERR_CANNOTSEEK 263
#define MMIOERR_CANNOTEXPAND 264
#define MMIOERR_CHUNKNOTFOUND 265

// Device notifications posted to a CALLBACK_WINDOW window.
#define MM_WOM_OPEN 0x3BB
#define MM_WOM_CLOSE 0x3BC
#define MM_WOM_DONE 0x3BD
#define MM_WIM_OPEN 0x3BE
#define MM_WIM_CLOSE 0x3BF
#define MM_WIM_DATA 0x3C0

// ---- Wave devices -------------------------------------------------------

DECLARE_HANDLE(HWAVEIN);
DECLARE_HANDLE(HWAVEOUT);
typedef HWAVEIN* LPHWAVEIN;
typedef HWAVEOUT* LPHWAVEOUT;

#define WAVE_MAPPER ((UINT)-1)

#define CALLBACK_TYPEMASK 0x00070000u
#define CALLBACK_NULL 0x00000000u
#define CALLBACK_WINDOW 0x00010000u
#define CALLBACK_THREAD 0x00020000u
#define CALLBACK_FUNCTION 0x00030000u
#define CALLBACK_EVENT 0x00050000u
#define WAVE_FORMAT_QUERY 0x0001u
#define WAVE_ALLOWSYNC 0x0002u
#define WAVE_MAPPED 0x0004u

#define WAVE_FORMAT_PCM 1

// Capability bits of dwFormats: rate 1 = 11025, 2 = 22050, 4 = 44100 Hz;
// M/S mono or stereo; 08/16 bits.
#define WAVE_INVALIDFORMAT 0x00000000u
#define WAVE_FORMAT_1M08 0x00000001u
#define WAVE_FORMAT_1S08 0x00000002u
#define WAVE_FORMAT_1M16 0x00000004u
#define WAVE_FORMAT_1S16 0x00000008u
#define WAVE_FORMAT_2M08 0x00000010u
#define WAVE_FORMAT_2S08 0x00000020u
#define WAVE_FORMAT_2M16 0x00000040u
#define WAVE_FORMAT_2S16 0x00000080u
#define WAVE_FORMAT_4M08 0x00000100u
#define WAVE_FORMAT_4S08 0x00000200u
#define WAVE_FORMAT_4M16 0x00000400u
#define WAVE_FORMAT_4S16 0x00000800u
#define WAVE_FORMAT_44M08 WAVE_FORMAT_4M08
#define WAVE_FORMAT_44S08 WAVE_FORMAT_4S08
#define WAVE_FORMAT_44M16 WAVE_FORMAT_4M16
#define WAVE_FORMAT_44S16 WAVE_FORMAT_4S16

#define WAVECAPS_VOLUME 0x0004u

#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
#pragma pack(pop)
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes as on Windows");

#define WHDR_DONE 0x00000001u
#define WHDR_PREPARED 0x00000002u
#define WHDR_BEGINLOOP 0x00000004u
#define WHDR_ENDLOOP 0x00000008u
#define WHDR_INQUEUE 0x00000010u

typedef struct wavehdr_tag {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    struct wavehdr_tag* lpNext;
    DWORD_PTR reserved;
} WAVEHDR, *PWAVEHDR, *LPWAVEHDR;

typedef struct tagWAVEINCAPSA {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
} WAVEINCAPSA, *PWAVEINCAPSA, *LPWAVEINCAPSA;
typedef WAVEINCAPSA WAVEINCAPS;
typedef LPWAVEINCAPSA LPWAVEINCAPS;

typedef struct tagWAVEOUTCAPSA {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    CHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
} WAVEOUTCAPSA, *PWAVEOUTCAPSA, *LPWAVEOUTCAPSA;
typedef WAVEOUTCAPSA WAVEOUTCAPS;
typedef LPWAVEOUTCAPSA LPWAVEOUTCAPS;

UINT WINAPI waveInGetNumDevs(void);
MMRESULT WINAPI waveInGetDevCapsA(UINT_PTR deviceId, LPWAVEINCAPSA caps, UINT capsSize);
MMRESULT WINAPI waveInOpen(LPHWAVEIN device, UINT deviceId, LPCWAVEFORMATEX format,
                           DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT WINAPI waveInPrepareHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize);
MMRESULT WINAPI waveInUnprepareHeader(HWAVEIN device, LPWAVEHDR header, UINT headerSize);
MMRESULT WINAPI waveInAddBuffer(HWAVEIN device, LPWAVEHDR header, UINT headerSize);
MMRESULT WINAPI waveInStart(HWAVEIN device);
MMRESULT WINAPI waveInStop(HWAVEIN device);
MMRESULT WINAPI waveInReset(HWAVEIN device);
MMRESULT WINAPI waveInClose(HWAVEIN device);

UINT WINAPI waveOutGetNumDevs(void);
MMRESULT WINAPI waveOutGetDevCapsA(UINT_PTR deviceId, LPWAVEOUTCAPSA caps, UINT capsSize);
MMRESULT WINAPI waveOutOpen(LPHWAVEOUT device, UINT deviceId, LPCWAVEFORMATEX format,
                            DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT WINAPI waveOutPrepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
MMRESULT WINAPI waveOutUnprepareHeader(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
MMRESULT WINAPI waveOutWrite(HWAVEOUT device, LPWAVEHDR header, UINT headerSize);
MMRESULT WINAPI waveOutReset(HWAVEOUT device);
MMRESULT WINAPI waveOutClose(HWAVEOUT device);

#define waveInGetDevCaps waveInGetDevCapsA
#define waveOutGetDevCaps waveOutGetDevCapsA

// ---- Audio mixer ----------------------------------------------------------

DECLARE_HANDLE(HMIXER);
DECLARE_HANDLE(HMIXEROBJ);
typedef HMIXER* LPHMIXER;

#define MIXER_SHORT_NAME_CHARS 16
#define MIXER_LONG_NAME_CHARS 64

#define MIXER_OBJECTF_HANDLE 0x80000000u
#define MIXER_OBJECTF_MIXER 0x00000000u
#define MIXER_OBJECTF_HMIXER (MIXER_OBJECTF_HANDLE | MIXER_OBJECTF_MIXER)

#define MIXERLINE_COMPONENTTYPE_DST_FIRST 0x00000000u
#define MIXERLINE_COMPONENTTYPE_DST_SPEAKERS (MIXERLINE_COMPONENTTYPE_DST_FIRST + 4)
#define MIXERLINE_COMPONENTTYPE_DST_WAVEIN (MIXERLINE_COMPONENTTYPE_DST_FIRST + 7)
#define MIXERLINE_COMPONENTTYPE_SRC_FIRST 0x00001000u
#define MIXERLINE_COMPONENTTYPE_SRC_LINE (MIXERLINE_COMPONENTTYPE_SRC_FIRST + 2)
#define MIXERLINE_COMPONENTTYPE_SRC_MICROPHONE (MIXERLINE_COMPONENTTYPE_SRC_FIRST + 3)
#define MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT (MIXERLINE_COMPONENTTYPE_SRC_FIRST + 8)

#define MIXERLINE_LINEF_ACTIVE 0x00000001u
#define MIXERLINE_LINEF_SOURCE 0x80000000u
#define MIXERLINE_TARGETTYPE_UNDEFINED 0
#define MIXERLINE_TARGETTYPE_WAVEIN 2

#define MIXER_GETLINEINFOF_DESTINATION 0x00000000u
#define MIXER_GETLINEINFOF_SOURCE 0x00000001u
#define MIXER_GETLINEINFOF_LINEID 0x00000002u
#define MIXER_GETLINEINFOF_COMPONENTTYPE 0x00000003u
#define MIXER_GETLINEINFOF_QUERYMASK 0x0000000Fu

#define MIXERCONTROL_CONTROLF_UNIFORM 0x00000001u
#define MIXERCONTROL_CT_CLASS_SWITCH 0x20000000u
#define MIXERCONTROL_CT_SC_SWITCH_BOOLEAN 0x00000000u
#define MIXERCONTROL_CT_UNITS_BOOLEAN 0x00010000u
#define MIXERCONTROL_CONTROLTYPE_BOOLEAN \
    (MIXERCONTROL_CT_CLASS_SWITCH | MIXERCONTROL_CT_SC_SWITCH_BOOLEAN | MIXERCONTROL_CT_UNITS_BOOLEAN)
#define MIXERCONTROL_CONTROLTYPE_MUTE (MIXERCONTROL_CONTROLTYPE_BOOLEAN + 2)

#define MIXER_GETLINECONTROLSF_ALL 0x00000000u
#define MIXER_GETLINECONTROLSF_ONEBYID 0x00000001u
#define MIXER_GETLINECONTROLSF_ONEBYTYPE 0x00000002u
#define MIXER_GETLINECONTROLSF_QUERYMASK 0x0000000Fu

#define MIXER_GETCONTROLDETAILSF_VALUE 0x00000000u
#define MIXER_GETCONTROLDETAILSF_LISTTEXT 0x00000001u
#define MIXER_SETCONTROLDETAILSF_VALUE 0x00000000u
#define MIXER_SETCONTROLDETAILSF_CUSTOM 0x00000001u

typedef struct tagMIXERLINEA {
    DWORD cbStruct;
    DWORD dwDestination;
    DWORD dwSource;
    DWORD dwLineID;
    DWORD fdwLine;
    DWORD_PTR dwUser;
    DWORD dwComponentType;
    DWORD cChannels;
    DWORD cConnections;
    DWORD cControls;
    CHAR szShortName[MIXER_SHORT_NAME_CHARS];
    CHAR szName[MIXER_LONG_NAME_CHARS];
    struct {
        DWORD dwType;
        DWORD dwDeviceID;
        WORD wMid;
        WORD wPid;
        MMVERSION vDriverVersion;
        CHAR szPname[MAXPNAMELEN];
    } Target;
} MIXERLINEA, *PMIXERLINEA, *LPMIXERLINEA;
typedef MIXERLINEA MIXERLINE;
typedef LPMIXERLINEA LPMIXERLINE;

typedef struct tagMIXERCONTROLA {
    DWORD cbStruct;
    DWORD dwControlID;
    DWORD dwControlType;
    DWORD fdwControl;
    DWORD cMultipleItems;
    CHAR szShortName[MIXER_SHORT_NAME_CHARS];
    CHAR szName[MIXER_LONG_NAME_CHARS];
    union {
        struct {
            LONG lMinimum;
            LONG lMaximum;
        };
        struct {
            DWORD dwMinimum;
            DWORD dwMaximum;
        };
        DWORD dwReserved[6];
    } Bounds;
    union {
        DWORD cSteps;
        DWORD cbCustomData;
        DWORD dwReserved[6];
    } Metrics;
} MIXERCONTROLA, *PMIXERCONTROLA, *LPMIXERCONTROLA;
typedef MIXERCONTROLA MIXERCONTROL;
typedef LPMIXERCONTROLA LPMIXERCONTROL;

typedef struct tagMIXERLINECONTROLSA {
    DWORD cbStruct;
    DWORD dwLineID;
    union {
        DWORD dwControlID;
        DWORD dwControlType;
    };
    DWORD cControls;
    DWORD cbmxctrl;
    LPMIXERCONTROLA pamxctrl;
} MIXERLINECONTROLSA, *PMIXERLINECONTROLSA, *LPMIXERLINECONTROLSA;
typedef MIXERLINECONTROLSA MIXERLINECONTROLS;
typedef LPMIXERLINECONTROLSA LPMIXERLINECONTROLS;

typedef struct tMIXERCONTROLDETAILS {
    DWORD cbStruct;
    DWORD dwControlID;
    DWORD cChannels;
    union {
        HWND hwndOwner;
        DWORD cMultipleItems;
    };
    DWORD cbDetails;
    LPVOID paDetails;
} MIXERCONTROLDETAILS, *PMIXERCONTROLDETAILS, *LPMIXERCONTROLDETAILS;

typedef struct tMIXERCONTROLDETAILS_BOOLEAN {
    LONG fValue;
} MIXERCONTROLDETAILS_BOOLEAN, *PMIXERCONTROLDETAILS_BOOLEAN, *LPMIXERCONTROLDETAILS_BOOLEAN;

typedef struct tMIXERCONTROLDETAILS_SIGNED {
    LONG lValue;
} MIXERCONTROLDETAILS_SIGNED, *PMIXERCONTROLDETAILS_SIGNED, *LPMIXERCONTROLDETAILS_SIGNED;

typedef struct tMIXERCONTROLDETAILS_UNSIGNED {
    DWORD dwValue;
} MIXERCONTROLDETAILS_UNSIGNED, *PMIXERCONTROLDETAILS_UNSIGNED, *LPMIXERCONTROLDETAILS_UNSIGNED;

UINT WINAPI mixerGetNumDevs(void);
MMRESULT WINAPI mixerOpen(LPHMIXER mixer, UINT mixerId, DWORD_PTR callback, DWORD_PTR instance,
                          DWORD flags);
MMRESULT WINAPI mixerClose(HMIXER mixer);
MMRESULT WINAPI mixerGetLineInfoA(HMIXEROBJ mixer, LPMIXERLINEA line, DWORD flags);
MMRESULT WINAPI mixerGetLineControlsA(HMIXEROBJ mixer, LPMIXERLINECONTROLSA controls, DWORD flags);
MMRESULT WINAPI mixerGetControlDetailsA(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details,
                                        DWORD flags);
MMRESULT WINAPI mixerSetControlDetails(HMIXEROBJ mixer, LPMIXERCONTROLDETAILS details, DWORD flags);

#define mixerGetLineInfo mixerGetLineInfoA
#define mixerGetLineControls mixerGetLineControlsA
#define mixerGetControlDetails mixerGetControlDetailsA

// ---- RIFF files ------------------------------------------------------------

DECLARE_HANDLE(HMMIO);

#define mmioFOURCC(c0, c1, c2, c3)                                                         \
    ((FOURCC)(BYTE)(c0) | ((FOURCC)(BYTE)(c1) << 8) | ((FOURCC)(BYTE)(c2) << 16) | \
     ((FOURCC)(BYTE)(c3) << 24))
#define FOURCC_RIFF mmioFOURCC('R', 'I', 'F', 'F')
#define FOURCC_LIST mmioFOURCC('L', 'I', 'S', 'T')

#define MMIO_READ 0x00000000u
#define MMIO_WRITE 0x00000001u
#define MMIO_READWRITE 0x00000002u
#define MMIO_COMPAT 0x00000000u
#define MMIO_EXCLUSIVE 0x00000010u
#define MMIO_DENYWRITE 0x00000020u
#define MMIO_DENYREAD 0x00000030u
#define MMIO_DENYNONE 0x00000040u
#define MMIO_CREATE 0x00001000u
#define MMIO_ALLOCBUF 0x00010000u
#define MMIO_DIRTY 0x10000000u

#define MMIO_CREATERIFF 0x0020u
#define MMIO_CREATELIST 0x0040u
#define MMIO_FINDCHUNK 0x0010u
#define MMIO_FINDRIFF 0x0020u


typedef LRESULT(CALLBACK* LPMMIOPROC)(LPSTR info, UINT message, LPARAM lParam1, LPARAM lParam2);

typedef struct _MMIOINFO {
    DWORD dwFlags;
    FOURCC fccIOProc;
    LPMMIOPROC pIOProc;
    UINT wErrorRet;
    HANDLE htask;
    LONG cchBuffer;
    char* pchBuffer;
    char* pchNext;
    char* pchEndRead;
    char* pchEndWrite;
    LONG lBufOffset;
    LONG lDiskOffset;
    DWORD adwInfo[3];
    DWORD dwReserved1;
    DWORD dwReserved2;
    HMMIO hmmio;
} MMIOINFO, *PMMIOINFO, *LPMMIOINFO;

typedef struct _MMCKINFO {
    FOURCC ckid;
    DWORD cksize;
    FOURCC fccType;
    DWORD dwDataOffset;
    DWORD dwFlags;
} MMCKINFO, *PMMCKINFO, *LPMMCKINFO;
typedef const MMCKINFO* LPCMMCKINFO;

// Files are named in the platform's path form. MMIO_EXCLUSIVE holds the file
// exclusively: opening a file held that way elsewhere (another process, or
// another mmioOpenA here) fails; MMIO_CREATE cuts an existing file to zero
// length only after the open has got its hold on it.
HMMIO WINAPI mmioOpenA(LPSTR fileName, LPMMIOINFO info, DWORD flags);
MMRESULT WINAPI mmioClose(HMMIO file, UINT flags);
LONG WINAPI mmioWrite(HMMIO file, const char* data, LONG count);
LONG WINAPI mmioRead(HMMIO file, char* data, LONG count);
LONG WINAPI mmioSeek(HMMIO file, LONG offset, int origin);
MMRESULT WINAPI mmioCreateChunk(HMMIO file, LPMMCKINFO chunk, UINT flags);
MMRESULT WINAPI mmioAscend(HMMIO file, LPMMCKINFO chunk, UINT flags);

#define mmioOpen mmioOpenA
