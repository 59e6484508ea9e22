# Included after the Makefile of Ghostscript's own MinGW build (./configure --host=...), once that
# build has compiled every platform-independent object: compiles the Windows platform files and
# the console front end with that Makefile's own compile commands ($(GLCC), $(PSCC)) and links
# gswin64c.exe the way psi/msvc.mak and psi/winint.mak link it, from the object list the
# Unix-flavoured link used (obj/ldt.tr) without its Unix platform objects and its ANSI main.
#
#   make -f Makefile -f ghostscript-win.mak WINVERSION=10.09.0 wingswin

WOBJ=./obj/win/
# Windows builds define these for every file of the Windows set (base/msvccmd.mak).
WINDEFS=-D_Windows -D__WIN32__ -DWIN32 -D_WIN32_WINNT=0x0601
# base/winlib.mak's mswin32_ set, base/winplat.mak's common set, the mshandle, mspoll and
# msprinter features.
WIN_GL=gp_mswin gp_wgetv gp_wpapr gp_stdia gp_winfs gp_ntfs gp_win32 gp_mshdl gp_mspol gp_msprn
# psi/winint.mak's console program without a DLL (OBJCNO) and the gsdll_* entry points.
WIN_PS=dwmainc dwnodll dwimg dwreg gsdll
# The Windows printer device (the display device is in the Unix list already).
WIN_DEV=gdevwpr2
WINOBJS=$(WIN_GL:%=$(WOBJ)%.o) $(WIN_PS:%=$(WOBJ)%.o) $(WIN_DEV:%=$(WOBJ)%.o) \
 $(WOBJ)gconfig.o $(WOBJ)gscdefs.o $(WOBJ)dwmain.res.o
# The objects of the Unix-flavoured link that the Windows one replaces.
UNIXOBJS=gs.o gp_unix.o gp_unifs.o gp_unifn.o gp_getnv.o gp_upapr.o gp_stdib.o gconfig.o gscdefs.o
WINLIBS=-lshell32 -lcomdlg32 -lgdi32 -luser32 -lwinspool -ladvapi32 -lws2_32 -lole32

$(WOBJ):
	mkdir -p $(WOBJ)

$(WOBJ)%.o: $(GLSRC)%.c | $(WOBJ)
	$(GLCC) $(WINDEFS) -o $@ -c $<

$(WOBJ)%.o: $(DEVSRC)%.c | $(WOBJ)
	$(GLCC) $(WINDEFS) -o $@ -c $<

$(WOBJ)%.o: $(PSSRC)%.c | $(WOBJ)
	$(PSCC) $(WINDEFS) -I$(DEVSRCDIR) -o $@ -c $<

# gconfig.h and gconfigd.h of this folder come first: the device and I/O device tables with the
# Windows ones, and the Windows search path.
$(WOBJ)gconfig.o: $(GLSRC)gconf.c $(WOBJ)gconfig.h
	$(CC_) -I$(WOBJ) $(I_)$(GLI_)$(_I) $(WINDEFS) -o $@ -c $(GLSRC)gconf.c

$(WOBJ)gscdefs.o: $(GLSRC)gscdef.c $(WOBJ)gconfigd.h
	$(CC_) -I$(WOBJ) $(I_)$(GLI_)$(_I) $(WINDEFS) -o $@ -c $(GLSRC)gscdef.c

# windres reads a version field written "09" as octal: the numbers go in as decimals. The
# source as cut down here has no icons: the resources go in without them.
$(WOBJ)dwmain.res.o: $(PSSRC)dwmain.rc | $(WOBJ)
	sed '/ ICON /d' $(PSSRC)dwmain.rc >$(WOBJ)dwmain.rc
	$(WINDRES) -I$(PSSRCDIR) -I$(GLSRCDIR) -I$(GLGENDIR) \
	 -DGS_VERSION_MAJOR=$(WINMAJOR) -DGS_VERSION_MINOR=$(WINMINOR) \
	 -DGS_VERSION_PATCH=$(WINPATCH) -DGS_DOT_VERSION=$(WINVERSION) \
	 -o $@ $(WOBJ)dwmain.rc

$(WOBJ)objects.txt: $(GLOBJ)ldt.tr | $(WOBJ)
	tr ' ' '\n' <$(GLOBJ)ldt.tr | grep '\.o$$' | \
	 grep -v -x -F -e "$$(printf './obj/%s\n' $(UNIXOBJS))" >$@

wingswin: $(WINOBJS) $(WOBJ)objects.txt
	$(CCLD) -municode -static -o $(WOBJ)gswin64c.exe $(WINOBJS) @$(WOBJ)objects.txt \
	 $(EXTRALIBS) $(WINLIBS) $(STDLIBS)
