Dir.chdir("/")
puts Dir.pwd
