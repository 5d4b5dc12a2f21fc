# Installs the gems bundled with Ruby into a Windows runtime staged on this machine, as
# `make install` installs them on Linux: each gem's files, its gemspec and its compiled
# extension (debug, rbs), where RubyGems finds them with no setup.
# Run by ruby-runtime.sh with the build machine's Ruby:
#   ruby -I CROSS -I SRCDIR/lib install-bundled-gems.rb SRCDIR BASERUBY_COMMAND SCRATCH
# CROSS holds an rbconfig.rb that loads the staged runtime's own, so that RubyGems installs
# into the staged runtime and mkmf compiles the extensions for it with the cross compiler.
# BASERUBY_COMMAND is the command line that runs extconf.rb the same way.
require "rubygems"
require "rubygems/installer"
require "rubygems/package"
require "fileutils"

srcdir, ruby_command, scratch = ARGV
abort "usage: install-bundled-gems.rb SRCDIR BASERUBY_COMMAND SCRATCH" unless scratch

# Extensions are configured by this machine's Ruby, reading the runtime's configuration.
Gem.instance_variable_set(:@ruby, ruby_command)
install_dir = Gem.default_dir
FileUtils.mkdir_p(scratch)

File.foreach(File.join(srcdir, "gems", "bundled_gems")) do |line|
  next if /\A\s*(?:#|$)/.match?(line)
  name, version = line.split
  dir = File.join(srcdir, ".bundle", "gems", "#{name}-#{version}")
  spec = Gem::Specification.load(File.join(dir, "#{name}-#{version}.gemspec")) or
    abort "install-bundled-gems: no gemspec of #{name} #{version} in #{dir}"
  # The unpacked gem is packed again so that RubyGems' own installer takes it, extensions
  # and all.
  file = Dir.chdir(dir) { Gem::Package.build(spec, true) }
  gem = File.join(scratch, file)
  FileUtils.mv(File.join(dir, file), gem)
  installer = Gem::Installer.at(gem, install_dir: install_dir, bin_dir: File.join(scratch, "bin"),
                                     ignore_dependencies: true, document: [], wrappers: true,
                                     env_shebang: true, force: true)
  installer.install
  puts "#{name} #{version}#{spec.extensions.empty? ? "" : " (with its extension)"}"
end
# The packed copies are not needed to run anything.
FileUtils.rm_rf(File.join(install_dir, "cache"))
